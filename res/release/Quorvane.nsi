; The Quorvane installer. The program keeps its INI files, syntax templates (STF) and clip text
; libraries (CTF) beside itself, so it is installed per user into a folder the user can write.
;
; Made by cmake/release.sh, which passes:
;   VERSION    the version text ("0.1.0.0")
;   VIVERSION  the four version numbers joined by dots, for the installer's version resource
;   ARCH       the build: "x86" or "x64"
;   TARGET     the installer's own kind: "x86-unicode", or "amd64-unicode" for the x64 build
;   STAGE      the folder holding the files to install
;   FILELIST   a generated script with one "!insertmacro ${SHIPPED} DIR NAME" line per STF and
;              CTF file of STAGE
;   TYPELIST   a generated script with one "!insertmacro ${FILETYPE} .EXT" line per extension of
;              the shipped file types (plain text and those of the STF files)
;   OUTFILE    the installer to write
;
; The installer records the time stamp of every STF and CTF file it writes in QVSETUP.INI. A file
; whose time stamp differs later has been changed by the user: an upgrade keeps it, and the
; uninstaller removes only the unchanged ones unless the user agrees to remove their changes too
; (a silent uninstall keeps them, as it keeps the INI files and the recovery copies of unsaved
; documents in the "Recovery" folder).
;
; The two builds install into folders of their own, under Start menu folders and uninstaller
; entries of their own, so that both can sit side by side.
;
; The shell learns of the editor for the current user only (HKCU\Software\Classes): the verb
; "用 Quorvane 编辑" on every file, and Quorvane under "Open with" for the shipped file types. The
; shell knows a program by its file name, so both builds share these keys: the one installed last
; owns them, its uninstaller removes them, and hands them to the other build if it is still
; installed.

Target ${TARGET}
Unicode true
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Quorvane"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane-${ARCH}"
!define MANIFEST "QVSETUP.INI"
!define STARTMENU "$SMPROGRAMS\Quorvane (${ARCH})"
!define README "读我.txt"
!define CLASSES "Software\Classes"
!define VERB_KEY "${CLASSES}\*\shell\Quorvane"
!define APP_KEY "${CLASSES}\Applications\Quorvane.exe"
!if "${ARCH}" == "x86"
    !define OTHER_ARCH "x64"
!else
    !define OTHER_ARCH "x86"
!endif
!define OTHER_UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane-${OTHER_ARCH}"

Name "Quorvane ${VERSION} (${ARCH})"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Quorvane-${ARCH}"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "Quorvane ${VERSION} (${ARCH})"
ShowInstDetails show
ShowUninstDetails show

!define MUI_ABORTWARNING
!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"

!define MUI_WELCOMEPAGE_TEXT "安装程序将把 Quorvane ${VERSION} (${ARCH}) 安装到您的计算机上。$\r$\n$\r$\nQuorvane 只为当前用户安装，不需要管理员权限。它的设置保存在程序所在的文件夹中，因此请把它安装到您可以写入的文件夹。$\r$\n$\r$\n单击“下一步”继续。"
!insertmacro MUI_PAGE_WELCOME
!define MUI_DIRECTORYPAGE_TEXT_TOP "Quorvane 将被安装到下面的文件夹。设置文件（INI）、语法模板（STF）和剪贴文本库（CTF）也保存在这里，所以这个文件夹必须可以写入。"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Quorvane.exe"
!define MUI_FINISHPAGE_RUN_TEXT "运行 Quorvane"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\${README}"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "显示读我文件"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VIVERSION}"
VIFileVersion "${VIVERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "Quorvane"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "Quorvane 文本编辑器安装程序 (${ARCH})"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "Quorvane"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "Copyright (C) Quorvane"

; Deletes a file of the installation, asking to close the program while the file is in use.
; Aborts when the user gives up (and in a silent run, where nobody can close it).
!macro DeleteInUse FILE
    !define _DIU_ID ${__LINE__}
    retry_${_DIU_ID}:
    Delete "${FILE}"
    IfFileExists "${FILE}" 0 done_${_DIU_ID}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "无法删除“${FILE}”。$\r$\n$\r$\nQuorvane 可能正在运行，请关闭它后单击“重试”。" /SD IDCANCEL IDRETRY retry_${_DIU_ID}
    Abort "Quorvane 正在运行，卸载已取消。"
    done_${_DIU_ID}:
    !undef _DIU_ID
!macroend

; ---------------------------------------------------------------------------------------------
; The shell's registrations

!macro AddOpenWith EXT
    WriteRegStr HKCU "${APP_KEY}\SupportedTypes" "${EXT}" ""
    WriteRegStr HKCU "${CLASSES}\${EXT}\OpenWithList\Quorvane.exe" "" ""
!macroend

; The extension's key goes too when nothing else is left in it; a key another program uses stays.
!macro RemoveOpenWith EXT
    DeleteRegKey HKCU "${CLASSES}\${EXT}\OpenWithList\Quorvane.exe"
    DeleteRegKey /ifempty /ifnovalues HKCU "${CLASSES}\${EXT}\OpenWithList"
    DeleteRegKey /ifempty /ifnovalues HKCU "${CLASSES}\${EXT}"
!macroend

!macro ShellRegistrationFunctions UN
; Tells the shell that file associations changed, so that its menus show the change at once.
Function ${UN}ShellChanged
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)' ; SHCNE_ASSOCCHANGED
FunctionEnd

; Registers the program file on the stack with the shell: the verb on every file, and the
; program under "Open with" for the shipped file types.
Function ${UN}RegisterShell
    Exch $R0
    WriteRegStr HKCU "${VERB_KEY}" "" "用 Quorvane 编辑"
    WriteRegStr HKCU "${VERB_KEY}" "Icon" "$R0,0"
    WriteRegStr HKCU "${VERB_KEY}\command" "" '"$R0" "%1"'
    WriteRegStr HKCU "${APP_KEY}" "FriendlyAppName" "Quorvane"
    WriteRegStr HKCU "${APP_KEY}\DefaultIcon" "" "$R0,0"
    WriteRegStr HKCU "${APP_KEY}\shell\open\command" "" '"$R0" "%1"'
    !define FILETYPE AddOpenWith
    !include "${TYPELIST}"
    !undef FILETYPE
    Pop $R0
    Call ${UN}ShellChanged
FunctionEnd
!macroend

!insertmacro ShellRegistrationFunctions ""
!insertmacro ShellRegistrationFunctions "un."

; Removes every registration of the shell.
Function un.UnregisterShell
    DeleteRegKey HKCU "${VERB_KEY}"
    DeleteRegKey HKCU "${APP_KEY}"
    !define FILETYPE RemoveOpenWith
    !include "${TYPELIST}"
    !undef FILETYPE
    Call un.ShellChanged
FunctionEnd

; ---------------------------------------------------------------------------------------------
; Installation

; Whether the shipped file (path relative to the installation on the stack) may be written: it
; is missing, or it is still the file an earlier installation wrote. Leaves 1 or 0 on the stack.
Function ShippedFileWanted
    Exch $R0
    Push $R1
    Push $R2
    Push $R3
    ${IfNot} ${FileExists} "$INSTDIR\$R0"
        StrCpy $R0 1
    ${Else}
        ClearErrors
        ReadINIStr $R1 "$INSTDIR\${MANIFEST}" "Files" "$R0"
        GetFileTime "$INSTDIR\$R0" $R2 $R3
        ${If} ${Errors}
            StrCpy $R0 0
        ${ElseIf} $R1 == "$R2,$R3"
            StrCpy $R0 1
        ${Else}
            StrCpy $R0 0
        ${EndIf}
    ${EndIf}
    Pop $R3
    Pop $R2
    Pop $R1
    Exch $R0
FunctionEnd

; Records the time stamp of the shipped file just written (path relative to the installation on
; the stack).
Function RecordShippedFile
    Exch $R0
    Push $R1
    Push $R2
    GetFileTime "$INSTDIR\$R0" $R1 $R2
    WriteINIStr "$INSTDIR\${MANIFEST}" "Files" "$R0" "$R1,$R2"
    Pop $R2
    Pop $R1
    Pop $R0
FunctionEnd

!macro ShippedFile DIR NAME
    Push "${DIR}\${NAME}"
    Call ShippedFileWanted
    Pop $0
    ${If} $0 == 1
        SetOutPath "$INSTDIR\${DIR}"
        File "${STAGE}/${DIR}/${NAME}"
        Push "${DIR}\${NAME}"
        Call RecordShippedFile
    ${Else}
        DetailPrint "保留您修改过的文件：${DIR}\${NAME}"
    ${EndIf}
!macroend

; A running editor holds its program file, which an upgrade could not replace: the installation
; waits for the user to close it, or stops before anything is written (so does a silent one).
Function WaitForEditorClosed
    ${IfNot} ${FileExists} "$INSTDIR\Quorvane.exe"
        Return
    ${EndIf}
    retry:
    ClearErrors
    FileOpen $0 "$INSTDIR\Quorvane.exe" a
    ${IfNot} ${Errors}
        FileClose $0
        Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "无法替换“$INSTDIR\Quorvane.exe”。$\r$\n$\r$\nQuorvane 可能正在运行，请关闭它后单击“重试”。" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
FunctionEnd

Section "Quorvane" SecMain
    SectionIn RO
    Call WaitForEditorClosed
    SetOutPath "$INSTDIR"
    SetOverwrite on
    File "${STAGE}/Quorvane.exe"
    File "${STAGE}/QVLOADER.EXE"
    File "${STAGE}/Quorvane.CHM"
    File "${STAGE}/${README}"
    CreateDirectory "$INSTDIR\STF"
    CreateDirectory "$INSTDIR\CTF"
    !define SHIPPED ShippedFile
    !include "${FILELIST}"
    !undef SHIPPED

    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninst.exe"

    CreateDirectory "${STARTMENU}"
    CreateShortcut "${STARTMENU}\Quorvane.lnk" "$INSTDIR\Quorvane.exe" "" "$INSTDIR\Quorvane.exe" 0
    CreateShortcut "${STARTMENU}\Quorvane 帮助.lnk" "$INSTDIR\Quorvane.CHM"
    CreateShortcut "${STARTMENU}\卸载 Quorvane.lnk" "$INSTDIR\uninst.exe"

    Push "$INSTDIR\Quorvane.exe"
    Call RegisterShell

    WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Quorvane (${ARCH})"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "Quorvane"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Quorvane.exe,0"
    WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninst.exe"'
    WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninst.exe" /S'
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
    SetDetailsPrint none ; the size count reports itself in English
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    SetDetailsPrint both
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" "$0"
SectionEnd

; ---------------------------------------------------------------------------------------------
; Uninstallation

; Removes the shipped file (path relative to the installation on the stack) if it is still the
; file the installer wrote.
Function un.RemoveUnchanged
    Exch $R0
    Push $R1
    Push $R2
    Push $R3
    ClearErrors
    ReadINIStr $R1 "$INSTDIR\${MANIFEST}" "Files" "$R0"
    GetFileTime "$INSTDIR\$R0" $R2 $R3
    ${IfNot} ${Errors}
    ${AndIf} $R1 == "$R2,$R3"
        Delete "$INSTDIR\$R0"
    ${EndIf}
    Pop $R3
    Pop $R2
    Pop $R1
    Pop $R0
FunctionEnd

!macro UnShippedFile DIR NAME
    Push "${DIR}\${NAME}"
    Call un.RemoveUnchanged
!macroend

; Whether the folder on the stack holds any file or folder. Leaves 1 or 0 on the stack.
Function un.FolderHasEntries
    Exch $R0
    Push $R1
    Push $R2
    StrCpy $R2 0
    ClearErrors
    FindFirst $R1 $R0 "$R0\*.*"
    ${DoUntil} ${Errors}
        ${If} $R0 != "."
        ${AndIf} $R0 != ".."
            StrCpy $R2 1
            ${Break}
        ${EndIf}
        FindNext $R1 $R0
    ${Loop}
    FindClose $R1
    StrCpy $R0 $R2
    Pop $R2
    Pop $R1
    Exch $R0
FunctionEnd

Section "Uninstall"
    ; A running editor holds its program file: stop before anything is removed.
    !insertmacro DeleteInUse "$INSTDIR\Quorvane.exe"
    Delete "$INSTDIR\QVLOADER.EXE"
    Delete "$INSTDIR\Quorvane.CHM"
    Delete "$INSTDIR\${README}"

    Delete "${STARTMENU}\Quorvane.lnk"
    Delete "${STARTMENU}\Quorvane 帮助.lnk"
    Delete "${STARTMENU}\卸载 Quorvane.lnk"
    RMDir "${STARTMENU}"
    DeleteRegKey HKCU "${UNINST_KEY}"

    ; The shell's registrations are this installation's only if it was installed last.
    ReadRegStr $0 HKCU "${APP_KEY}\shell\open\command" ""
    ${If} $0 == '"$INSTDIR\Quorvane.exe" "%1"'
        Call un.UnregisterShell
        ReadRegStr $1 HKCU "${OTHER_UNINST_KEY}" "InstallLocation"
        ${If} $1 != ""
        ${AndIf} ${FileExists} "$1\Quorvane.exe"
            Push "$1\Quorvane.exe"
            Call un.RegisterShell
        ${EndIf}
    ${EndIf}

    ; The templates and libraries as shipped go; what the user changed or added stays for now.
    !define SHIPPED UnShippedFile
    !include "${FILELIST}"
    !undef SHIPPED
    Delete "$INSTDIR\${MANIFEST}"

    ; The user's settings and their own templates and libraries: ask.
    StrCpy $1 0
    ${If} ${FileExists} "$INSTDIR\QUORVANE.INI"
    ${OrIf} ${FileExists} "$INSTDIR\SETTINGS.INI"
    ${OrIf} ${FileExists} "$INSTDIR\FILETYPE.INI"
        StrCpy $1 1
    ${EndIf}
    Push "$INSTDIR\STF"
    Call un.FolderHasEntries
    Pop $0
    IntOp $1 $1 | $0
    Push "$INSTDIR\CTF"
    Call un.FolderHasEntries
    Pop $0
    IntOp $1 $1 | $0
    Push "$INSTDIR\Recovery"
    Call un.FolderHasEntries
    Pop $0
    IntOp $1 $1 | $0
    ${If} $1 == 1
        MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "是否同时删除您的设置和文件？$\r$\n$\r$\n包括设置文件 QUORVANE.INI、SETTINGS.INI、FILETYPE.INI，您修改或添加的语法模板（STF 文件夹）和剪贴文本库（CTF 文件夹），以及未保存文档的恢复副本（Recovery 文件夹）。$\r$\n$\r$\n单击“否”将保留它们，以后重新安装时仍可使用。" /SD IDNO IDYES remove_user_files
        DetailPrint "保留您的设置和文件：$INSTDIR"
        Goto user_files_done
    remove_user_files:
        Delete "$INSTDIR\QUORVANE.INI"
        Delete "$INSTDIR\SETTINGS.INI"
        Delete "$INSTDIR\FILETYPE.INI"
        RMDir /r "$INSTDIR\STF"
        RMDir /r "$INSTDIR\CTF"
        RMDir /r "$INSTDIR\Recovery"
    user_files_done:
    ${EndIf}

    Delete "$INSTDIR\uninst.exe"
    RMDir "$INSTDIR\STF"
    RMDir "$INSTDIR\CTF"
    RMDir "$INSTDIR\Recovery"
    RMDir "$INSTDIR"
SectionEnd
