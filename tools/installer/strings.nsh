; The setup program's own texts in its three languages (the pages' common texts come with NSIS).

LangString SecRunName ${LANG_ENGLISH} "Start Tivolan when Windows starts"
LangString SecRunName ${LANG_KOREAN} "Windows 시작 시 Tivolan 실행"
LangString SecRunName ${LANG_GREEK} "Έναρξη του Tivolan με την έναρξη των Windows"

LangString SecProgramDesc ${LANG_ENGLISH} "The program, its Start menu shortcut and its taskbar jump list."
LangString SecProgramDesc ${LANG_KOREAN} "프로그램, 시작 메뉴 바로 가기 및 작업 표시줄 점프 목록입니다."
LangString SecProgramDesc ${LANG_GREEK} "Το πρόγραμμα, η συντόμευσή του στο μενού Έναρξη και η λίστα μετάβασής του στη γραμμή εργασιών."

LangString SecRunDesc ${LANG_ENGLISH} "Tivolan starts hidden in the notification area when you log on, and runs your repeating tasks."
LangString SecRunDesc ${LANG_KOREAN} "로그온할 때 Tivolan이 알림 영역에 숨겨진 채로 시작되어 반복 작업을 실행합니다."
LangString SecRunDesc ${LANG_GREEK} "Το Tivolan ξεκινά κρυφά στην περιοχή ειδοποιήσεων όταν συνδέεστε και εκτελεί τις επαναλαμβανόμενες εργασίες σας."

LangString StillRunning ${LANG_ENGLISH} "Tivolan is still running and did not close. Close it from its notification area icon and try again."
LangString StillRunning ${LANG_KOREAN} "Tivolan이 아직 실행 중이며 닫히지 않았습니다. 알림 영역 아이콘에서 닫은 후 다시 시도하십시오."
LangString StillRunning ${LANG_GREEK} "Το Tivolan εκτελείται ακόμα και δεν έκλεισε. Κλείστε το από το εικονίδιό του στην περιοχή ειδοποιήσεων και δοκιμάστε ξανά."

LangString SettingsTitle ${LANG_ENGLISH} "Your Settings"
LangString SettingsTitle ${LANG_KOREAN} "사용자 설정"
LangString SettingsTitle ${LANG_GREEK} "Οι ρυθμίσεις σας"

LangString SettingsSubtitle ${LANG_ENGLISH} "Choose whether to keep your settings and repeating tasks."
LangString SettingsSubtitle ${LANG_KOREAN} "설정과 반복 작업을 유지할지 선택하십시오."
LangString SettingsSubtitle ${LANG_GREEK} "Επιλέξτε αν θα διατηρηθούν οι ρυθμίσεις και οι επαναλαμβανόμενες εργασίες σας."

; Each sentence starts a line of its own: a Korean sentence broken at the page's edge would split a word.
LangString SettingsExplain ${LANG_ENGLISH} "Tivolan's settings and repeating tasks are kept unless you choose to remove them.$\r$\nKeep them if you will install Tivolan again."
LangString SettingsExplain ${LANG_KOREAN} "제거를 선택하지 않으면 Tivolan의 설정과 반복 작업은 유지됩니다.$\r$\nTivolan을 다시 설치하려면 유지하십시오."
LangString SettingsExplain ${LANG_GREEK} "Οι ρυθμίσεις και οι επαναλαμβανόμενες εργασίες του Tivolan διατηρούνται, εκτός αν επιλέξετε να καταργηθούν.$\r$\nΔιατηρήστε τις αν θα εγκαταστήσετε ξανά το Tivolan."

LangString WelcomeText ${LANG_ENGLISH} "Setup will install Tivolan ${VERSION} for your user account. It needs no administrator rights.$\r$\n$\r$\nIf Tivolan is running, Setup closes it and starts it again afterwards. Your settings and repeating tasks are kept.$\r$\n$\r$\nClick Next to continue."
LangString WelcomeText ${LANG_KOREAN} "현재 사용자 계정에 Tivolan ${VERSION}을(를) 설치합니다. 관리자 권한은 필요하지 않습니다.$\r$\n$\r$\nTivolan이 실행 중이면 설치 프로그램이 닫았다가 설치 후 다시 시작합니다. 설정과 반복 작업은 유지됩니다.$\r$\n$\r$\n계속하려면 '다음' 버튼을 누르십시오."
LangString WelcomeText ${LANG_GREEK} "Το πρόγραμμα εγκατάστασης θα εγκαταστήσει το Tivolan ${VERSION} για τον λογαριασμό χρήστη σας. Δεν χρειάζονται δικαιώματα διαχειριστή.$\r$\n$\r$\nΑν το Tivolan εκτελείται, το πρόγραμμα εγκατάστασης θα το κλείσει και θα το ξεκινήσει ξανά μετά την εγκατάσταση. Οι ρυθμίσεις και οι επαναλαμβανόμενες εργασίες σας διατηρούνται.$\r$\n$\r$\nΚάντε κλικ στο Επόμενο για να συνεχίσετε."

LangString RemoveSettingsBox ${LANG_ENGLISH} "&Remove my settings and repeating tasks too"
LangString RemoveSettingsBox ${LANG_KOREAN} "설정과 반복 작업도 제거(&R)"
LangString RemoveSettingsBox ${LANG_GREEK} "&Κατάργηση και των ρυθμίσεων και των επαναλαμβανόμενων εργασιών μου"
