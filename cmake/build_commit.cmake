# Writes OUT with the commit of the checkout in SOURCE_DIR ("" outside a git checkout), and CONFIG_INI,
# the component-version file of the About box, with VERSION and that commit; each file is rewritten only
# when its text changed, so that an ordinary rebuild recompiles nothing.
execute_process(COMMAND git -C "${SOURCE_DIR}" rev-parse --short=10 HEAD
    OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
if(failed)
    set(commit "")
endif()

function(write_if_changed path text)
    set(old "")
    if(EXISTS "${path}")
        file(READ "${path}" old)
    endif()
    if(NOT old STREQUAL text)
        file(WRITE "${path}" "${text}")
    endif()
endfunction()

write_if_changed("${OUT}" "#pragma once\n#define QAVO_COMMIT \"${commit}\"\n")
if(CONFIG_INI)
    set(version "${VERSION}")
    if(commit)
        set(version "${VERSION} (commit ${commit})")
    endif()
    # The editor's own entry is its executable name + ".exe" on every system.
    write_if_changed("${CONFIG_INI}" "[Version]\r\nqavo.exe=${version}\r\n")
endif()
