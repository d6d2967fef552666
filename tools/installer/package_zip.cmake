# cmake -DREADME=README.md -DSTAGE=DIR -DOUT=FILE.zip -DPROGRAMS="a.exe;b.exe" -P package_zip.cmake
# The portable zip: the programs and README.txt, the README's user guide (the text between the
# "user-guide" markers) with Windows line ends, so that Notepad of any age shows it right.
foreach(var README STAGE OUT PROGRAMS)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "${var} is not set")
    endif()
endforeach()

file(READ "${README}" text)
string(FIND "${text}" "<!-- user-guide -->" begin)
string(FIND "${text}" "<!-- /user-guide -->" end)
if(begin EQUAL -1 OR end EQUAL -1 OR end LESS begin)
    message(FATAL_ERROR "${README} has no user guide between <!-- user-guide --> and <!-- /user-guide -->")
endif()
string(LENGTH "<!-- user-guide -->" marker)
math(EXPR begin "${begin} + ${marker}")
math(EXPR length "${end} - ${begin}")
string(SUBSTRING "${text}" ${begin} ${length} guide)
string(STRIP "${guide}" guide)
string(REPLACE "\n" "\r\n" guide "${guide}\n")

file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}")
file(WRITE "${STAGE}/README.txt" "${guide}")
set(names README.txt)
foreach(program ${PROGRAMS})
    file(COPY "${program}" DESTINATION "${STAGE}")
    get_filename_component(name "${program}" NAME)
    list(APPEND names ${name})
endforeach()
list(SORT names)

get_filename_component(out_dir "${OUT}" DIRECTORY)
file(MAKE_DIRECTORY "${out_dir}")
file(REMOVE "${OUT}")
# A fixed time in the entries, so that the same files give the same zip.
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf "${OUT}" --format=zip "--mtime=2026-01-01 00:00:00 UTC" -- ${names}
                WORKING_DIRECTORY "${STAGE}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "could not write ${OUT}")
endif()
