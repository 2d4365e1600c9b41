# vellumar_add_user_test(NAME <name> COMMAND <target-or-absolute-path> [ARGS <args>...]
#                        [USER <user>] [TIMEOUT <s>] [REAL_DISKS])
# Registers a test that runs COMMAND as an unprivileged user: as the test user (vellumar-t1 unless
# USER says otherwise) when ctest runs as root, or as the current user otherwise (see
# run-as-user.sh). The fixture vellumar_test_users provides the users, the polkit rules and, when
# none runs, a system bus with polkitd. Exit status 77, or a Qt Test skip, shows as skipped.
# REAL_DISKS tests share the lock of the root tests that make real disks.
set(VELLUMAR_RUN_AS_USER ${CMAKE_CURRENT_LIST_DIR}/run-as-user.sh)

function(vellumar_add_user_test)
    cmake_parse_arguments(ARG "REAL_DISKS" "NAME;COMMAND;USER;TIMEOUT" "ARGS" ${ARGN})
    if(NOT ARG_NAME OR NOT ARG_COMMAND)
        message(FATAL_ERROR "vellumar_add_user_test needs NAME and COMMAND")
    endif()
    if(NOT ARG_USER)
        set(ARG_USER vellumar-t1)
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    if(TARGET ${ARG_COMMAND})
        set(program $<TARGET_FILE:${ARG_COMMAND}>)
    elseif(IS_ABSOLUTE ${ARG_COMMAND})
        set(program ${ARG_COMMAND})
    else()
        message(FATAL_ERROR "vellumar_add_user_test: ${ARG_COMMAND} is neither a target nor an "
                            "absolute path")
    endif()
    add_test(NAME ${ARG_NAME}
             COMMAND bash ${VELLUMAR_RUN_AS_USER} ${ARG_USER} ${program} ${ARG_ARGS})
    set_tests_properties(${ARG_NAME} PROPERTIES
        FIXTURES_REQUIRED vellumar_test_users
        LABELS asuser
        SKIP_RETURN_CODE 77
        SKIP_REGULAR_EXPRESSION "SKIP   :"
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VELLUMAR_NO_DESKTOP=1;LANG=C.UTF-8;LC_ALL=C.UTF-8"
        TIMEOUT ${ARG_TIMEOUT})
    if(ARG_REAL_DISKS)
        set_tests_properties(${ARG_NAME} PROPERTIES RESOURCE_LOCK real_disks)
    endif()
endfunction()
