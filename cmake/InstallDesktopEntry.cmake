# Included by the install rules: writes the desktop entry for the prefix being
# installed to. The launcher names the program by its full path unless it is
# installed where PATH always leads (/usr/bin), so that a per-user install to
# ~/.local starts before ~/.local/bin is on PATH.
# Needs entry_template (the configured entry with @exec@ and @try_exec@ left)
# and bin_folder (relative to the prefix).
set(program "${CMAKE_INSTALL_PREFIX}/${bin_folder}/tarvik")
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(exec tarvik)
  set(try_exec tarvik)
else()
  # TryExec is a plain string; Exec is quoted by the Desktop Entry rules when
  # the path needs it. Both then get the key file's own backslash escape.
  set(try_exec "${program}")
  set(exec "${program}")
  if(NOT exec MATCHES "^[A-Za-z0-9/._+-]+$")
    string(REGEX REPLACE "([\\\"`$])" "\\\\\\1" exec "${exec}")
    set(exec "\"${exec}\"")
  endif()
  string(REPLACE "%" "%%" exec "${exec}")
  string(REPLACE "\\" "\\\\" exec "${exec}")
  string(REPLACE "\\" "\\\\" try_exec "${try_exec}")
endif()
get_filename_component(folder "${entry_template}" DIRECTORY)
get_filename_component(name "${entry_template}" NAME_WLE)
configure_file("${entry_template}" "${folder}/install/${name}" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE FILES "${folder}/install/${name}")
