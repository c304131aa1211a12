# Install step: writes the desktop entry for the launcher's installed path,
# known only now (cmake --install --prefix may change the prefix).
# Set before: SKV_BINDIR, SKV_ENTRY_IN, SKV_ENTRY_OUT.
if(IS_ABSOLUTE "${SKV_BINDIR}")
  set(SKV_LAUNCHER "${SKV_BINDIR}/skarnvale")
else()
  set(SKV_LAUNCHER "${CMAKE_INSTALL_PREFIX}/${SKV_BINDIR}/skarnvale")
endif()
# Exec= is a command line: a path holding a space or another reserved
# character goes in double quotes, inside which " ` $ and \ take a backslash;
# a literal % is doubled. The value's own escaping then doubles backslashes.
set(SKV_EXEC "${SKV_LAUNCHER}")
string(REPLACE "%" "%%" SKV_EXEC "${SKV_EXEC}")
if(SKV_EXEC MATCHES "[ \t\n\"'\\\\><~|&;$*?#()`]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" SKV_EXEC "${SKV_EXEC}")
  set(SKV_EXEC "\"${SKV_EXEC}\"")
endif()
string(REPLACE "\\" "\\\\" SKV_EXEC "${SKV_EXEC}")
string(REPLACE "\\" "\\\\" SKV_LAUNCHER "${SKV_LAUNCHER}")
configure_file("${SKV_ENTRY_IN}" "${SKV_ENTRY_OUT}" @ONLY)
