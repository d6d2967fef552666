; Tivolan's setup program. Built by the windows preset (tools/installer/CMakeLists.txt), which passes:
;   VERSION      the project version, such as 1.0.0
;   FILE_VERSION the same with four parts, such as 1.0.0.0
;   BIN_DIR      the folder that holds Tivolan.exe
;   ICON_FILE    the program's icon
;   WELCOME_BITMAP the picture of the welcome and finish pages (tools/make-images --set setup)
;   OUT_FILE     where the setup program goes
;
; Per-user install: everything Tivolan keeps (its settings, stored tasks, Run entry, jump list) belongs
; to the user, so the install needs no administrator and the folder stays writable for the next upgrade.
;
; Silent use: setup.exe /S [/RUNATLOGON=0|1] [/D=FOLDER]; Uninstall.exe /S keeps the settings.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma
; Any name with "setup" in it draws this warning; the release name is Tivolan-VERSION-setup.exe.
!pragma warning disable 9000

!macro REQUIRE_DEFINE NAME
    !ifndef ${NAME}
        !error "${NAME} must be given to makensis with -D${NAME}=..."
    !endif
!macroend
!insertmacro REQUIRE_DEFINE VERSION
!insertmacro REQUIRE_DEFINE FILE_VERSION
!insertmacro REQUIRE_DEFINE BIN_DIR
!insertmacro REQUIRE_DEFINE ICON_FILE
!insertmacro REQUIRE_DEFINE WELCOME_BITMAP
!insertmacro REQUIRE_DEFINE OUT_FILE

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

!define PRODUCT "Tivolan"
!define PUBLISHER "Merrowin"
!define PROGRAM "Tivolan.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tivolan"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Tivolan"
!define SETTINGS_KEY "Software\Tivolan"
!define APP_ID "merrowin.tivolan"
; The program holds this mutex from its first instruction to its exit, so its absence means no
; instance of it is left that could keep its file open.
!define INSTANCE_MUTEX "Tivolan-70BDD048-FA5E-4830-8843-D9BAF41DE860"
!define SYNCHRONIZE 0x00100000
; Tenths of a second to wait for a running instance to end after /X.
!define EXIT_WAIT_STEPS 150

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${FILE_VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright © 2026 ${PUBLISHER}"

Var WasRunning
Var RemoveSettings
Var RemoveSettingsBox

!define MUI_ICON "${ICON_FILE}"
!define MUI_UNICON "${ICON_FILE}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WELCOME_BITMAP}"
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM}"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.SettingsPageShow un.SettingsPageLeave
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for a system language the setup program does not have.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Korean"
!insertmacro MUI_LANGUAGE "Greek"

!include "strings.nsh"

; --- helpers shared by the setup program and the uninstaller ---

; Asks a running instance to exit through the installed program's /X and waits until no process holds
; the instance mutex. Without an installed program there is nothing a running copy could hold open.
; Leaves 1 in $WasRunning when an instance was asked to exit, and 1 on the stack when one is still
; running at the end.
!macro END_RUNNING_INSTANCE UN
Function ${UN}EndRunningInstance
    Exch $R0 ; the installed program
    Push $0
    Push $1
    StrCpy $WasRunning 0
    StrCpy $0 0
    ${If} ${FileExists} "$R0"
        System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${INSTANCE_MUTEX}") p .r0'
    ${EndIf}
    ${If} $0 P<> 0
        System::Call 'kernel32::CloseHandle(p r0)'
        StrCpy $WasRunning 1
        ExecWait '"$R0" /X'
        StrCpy $1 0
        ${Do}
            System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${INSTANCE_MUTEX}") p .r0'
            ${If} $0 P= 0
                ${Break}
            ${EndIf}
            System::Call 'kernel32::CloseHandle(p r0)'
            IntOp $1 $1 + 1
            ${If} $1 >= ${EXIT_WAIT_STEPS}
                ${Break}
            ${EndIf}
            Sleep 100
        ${Loop}
    ${EndIf}
    ${If} $0 P<> 0
        StrCpy $R0 1
    ${Else}
        StrCpy $R0 0
    ${EndIf}
    Pop $1
    Pop $0
    Exch $R0
FunctionEnd
!macroend
!insertmacro END_RUNNING_INSTANCE ""
!insertmacro END_RUNNING_INSTANCE "un."

; Deletes the Run entry when it starts a program of this installation; a Run entry of a copy elsewhere
; (a portable one) is not this installation's to remove.
!macro DELETE_OWN_RUN_ENTRY UN
Function ${UN}DeleteOwnRunEntry
    Push $0
    Push $1
    Push $2
    ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
    StrCpy $1 '"$INSTDIR\'
    StrLen $2 $1
    StrCpy $0 $0 $2
    ${If} $0 == $1 ; case-insensitive, as the file system compares
        DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}
    Pop $2
    Pop $1
    Pop $0
FunctionEnd
!macroend
!insertmacro DELETE_OWN_RUN_ENTRY ""
!insertmacro DELETE_OWN_RUN_ENTRY "un."

; Gives the shortcut file $R0 the application identity $R1, so that the taskbar groups the program's
; windows, its jump list and the shortcut as one application. A shell without property stores on links
; leaves the shortcut as it is.
Function SetShortcutAppId
    Push $0
    Push $1
    Push $2
    Push $3
    Push $4
    Push $5
    Push $6
    System::Call 'ole32::CoCreateInstance(g "{00021401-0000-0000-C000-000000000046}", p 0, i 1, \
        g "{000214F9-0000-0000-C000-000000000046}", *p .r1) i .r0'
    ${If} $0 = 0
        ; IPersistFile: Load is entry 5, Save entry 6.
        System::Call '$1->0(g "{0000010b-0000-0000-C000-000000000046}", *p .r2) i .r0'
        ${If} $0 = 0
            System::Call '$2->5(w R0, i 2) i .r0'
            ${If} $0 = 0
                ; IPropertyStore: SetValue is entry 6, Commit entry 7.
                System::Call '$1->0(g "{886D8EEB-8CF2-4446-8D02-CDBA1DBDCF99}", *p .r3) i .r0'
                ${If} $0 = 0
                    ; The key PKEY_AppUserModel_ID and a PROPVARIANT of type VT_LPWSTR (31) naming the text.
                    System::Call '*(g "{9F4C2855-9F79-4B39-A8D0-E1D42DE1D5F3}", i 5) p .r4'
                    System::Call '*(&w64 R1) p .r6'
                    System::Call '*(&i2 31, &i2 0, &i4 0, p r6, p 0) p .r5'
                    System::Call '$3->6(p r4, p r5) i .r0'
                    ${If} $0 = 0
                        System::Call '$3->7() i .r0'
                    ${EndIf}
                    ${If} $0 = 0
                        System::Call '$2->6(p 0, i 1) i .r0'
                    ${EndIf}
                    System::Free $5
                    System::Free $6
                    System::Free $4
                    System::Call '$3->2()'
                ${EndIf}
            ${EndIf}
            System::Call '$2->2()'
        ${EndIf}
        System::Call '$1->2()'
    ${EndIf}
    Pop $6
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Pop $0
FunctionEnd

; --- setup ---

Section "!${PRODUCT}" SecProgram
    SectionIn RO
    SetShellVarContext current
    Push "$INSTDIR\${PROGRAM}"
    Call EndRunningInstance
    Pop $0
    ${If} $0 = 1
        MessageBox MB_OK|MB_ICONSTOP "$(StillRunning)" /SD IDOK
        SetErrorLevel 3
        Abort "$(StillRunning)"
    ${EndIf}

    SetOutPath "$INSTDIR"
    SetOverwrite on
    File "${BIN_DIR}/${PROGRAM}"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    ; The jump list belongs to the application identity; the program builds it in the user's language.
    ExecWait '"$INSTDIR\${PROGRAM}" /I'

    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\${PROGRAM}" 0
    StrCpy $R0 "$SMPROGRAMS\${PRODUCT}.lnk"
    StrCpy $R1 "${APP_ID}"
    Call SetShortcutAppId

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "$(SecRunName)" SecRun
    ; The same line the program's own option writes.
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${PROGRAM}" /s'
SectionEnd

Section "-FinishUp"
    ${IfNot} ${SectionIsSelected} ${SecRun}
        Call DeleteOwnRunEntry
    ${EndIf}
    ; An instance ended for the upgrade comes back as it starts at log-on, with the new files.
    ${If} $WasRunning = 1
        Exec '"$INSTDIR\${PROGRAM}" /s'
    ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "$(SecProgramDesc)"
    !insertmacro MUI_DESCRIPTION_TEXT ${SecRun} "$(SecRunDesc)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
    StrCpy $WasRunning 0
    ; An upgrade keeps the user's choice: the Run entry is offered as it is now, a new install offers it.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
        ReadRegStr $1 HKCU "${RUN_KEY}" "${RUN_VALUE}"
        ${If} $1 == ""
            !insertmacro UnselectSection ${SecRun}
        ${EndIf}
    ${EndIf}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/RUNATLOGON=" $1
    ${IfNot} ${Errors}
        ${If} $1 == "0"
            !insertmacro UnselectSection ${SecRun}
        ${Else}
            !insertmacro SelectSection ${SecRun}
        ${EndIf}
    ${EndIf}
FunctionEnd

; --- uninstall ---

Function un.onInit
    StrCpy $RemoveSettings ${BST_UNCHECKED}
FunctionEnd

Function un.SettingsPageShow
    !insertmacro MUI_HEADER_TEXT "$(SettingsTitle)" "$(SettingsSubtitle)"
    nsDialogs::Create 1018
    Pop $0
    ${If} $0 == error
        Abort
    ${EndIf}
    ${NSD_CreateLabel} 0 0 100% 32u "$(SettingsExplain)"
    Pop $0
    ${NSD_CreateCheckbox} 0 40u 100% 12u "$(RemoveSettingsBox)"
    Pop $RemoveSettingsBox
    ${NSD_SetState} $RemoveSettingsBox $RemoveSettings
    nsDialogs::Show
FunctionEnd

Function un.SettingsPageLeave
    ${NSD_GetState} $RemoveSettingsBox $RemoveSettings
FunctionEnd

Section "Uninstall"
    SetShellVarContext current
    Push "$INSTDIR\${PROGRAM}"
    Call un.EndRunningInstance
    Pop $0
    ${If} $0 = 1
        MessageBox MB_OK|MB_ICONSTOP "$(StillRunning)" /SD IDOK
        SetErrorLevel 3
        Abort "$(StillRunning)"
    ${EndIf}
    ; The program removes its jump list and its browser setting itself.
    ${If} ${FileExists} "$INSTDIR\${PROGRAM}"
        ExecWait '"$INSTDIR\${PROGRAM}" /U'
    ${EndIf}

    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Call un.DeleteOwnRunEntry
    Delete "$INSTDIR\${PROGRAM}"
    Delete "$INSTDIR\${UNINSTALLER}"
    ; Only an empty folder goes: anything the user put there stays.
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ${If} $RemoveSettings == ${BST_CHECKED}
        DeleteRegKey HKCU "${SETTINGS_KEY}"
    ${EndIf}
SectionEnd
