# Runs at install time (install(CODE) sets GLIMRA_DESKTOP_IN, GLIMRA_BINDIR and
# GLIMRA_APPLICATIONS_DIR): writes the desktop entry with Exec naming the installed program.

function(_glimra_under_prefix dir out)
    if(IS_ABSOLUTE "${dir}")
        set(${out} "${dir}" PARENT_SCOPE)
    else()
        set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
    endif()
endfunction()

_glimra_under_prefix("${GLIMRA_BINDIR}" _bindir)
_glimra_under_prefix("${GLIMRA_APPLICATIONS_DIR}" _appdir)

# The program as one quoted argument: inside the quotes ", `, $ and \ take a backslash; then
# the value's own escape doubles every backslash, and % is doubled for the field codes.
set(_exe "${_bindir}/glimra")
string(REPLACE "\\" "\\\\" _exe "${_exe}")
string(REGEX REPLACE "([\"`$])" "\\\\\\1" _exe "${_exe}")
string(REPLACE "\\" "\\\\" _exe "${_exe}")
string(REPLACE "%" "%%" _exe "${_exe}")
set(GLIMRA_EXEC "\"${_exe}\"")

get_filename_component(_name "${GLIMRA_DESKTOP_IN}" NAME_WLE)
set(_target "$ENV{DESTDIR}${_appdir}/${_name}")
message(STATUS "Installing: ${_target}")
configure_file("${GLIMRA_DESKTOP_IN}" "${_target}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${_appdir}/${_name}")
