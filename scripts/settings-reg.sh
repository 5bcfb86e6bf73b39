# shellcheck shell=sh
# Sourced by the scripts that start the window on a prepared configuration.
# write_settings_reg FILE ROOT LOGDIR HOSTS FWMIN FWMAX LOCALTIME writes a
# REGEDIT4 file with a complete settings key. ROOT and LOGDIR are written as
# given, so their backslashes must already be doubled; FWMIN and FWMAX are
# eight hexadecimal digits; LOCALTIME is 0 or 1.
write_settings_reg() {
  cat >"$1" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Ostrel\\TFTPService]
"TFTPRoot"="$2"
"TFTPPort"=dword:00000045
"WriteLog"=dword:00000001
"HighPriority"=dword:00000000
"LogDirectory"="$3"
"LogFileCount"=dword:00000003
"DefaultRights"="R"
"HostList"="$4"
"TFTPTimeout"=dword:00000003
"TFTPRetr"=dword:00000003
"OpTimeout"=dword:00000001
"OpBlocksize"=dword:00000001
"OpTSize"=dword:00000001
"FWEnabled"=dword:00000001
"FWMinPort"=dword:$5
"FWMaxPort"=dword:$6
"LogLevel"=dword:00000005
"LocalTime"=dword:0000000$7
REG
}
