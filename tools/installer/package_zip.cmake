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
# A fixed time in the entries and no other stamps, so that the same files give the same zip. (The
# archive writer behind "cmake -E tar" also stores each file's access and change times, which no
# option fixes, so two packs a second apart differ.)
find_program(PYTHON NAMES python3 REQUIRED)
set(write_zip [=[
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as archive:
    for name in sys.argv[2:]:
        entry = zipfile.ZipInfo(name, (2026, 1, 1, 0, 0, 0))
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.external_attr = 0o644 << 16
        with open(name, "rb") as f:
            archive.writestr(entry, f.read())
]=])
execute_process(COMMAND ${PYTHON} -c "${write_zip}" "${OUT}" ${names}
                WORKING_DIRECTORY "${STAGE}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    file(REMOVE "${OUT}")
    message(FATAL_ERROR "could not write ${OUT}")
endif()
