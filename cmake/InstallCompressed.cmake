# vellumar_install_compressed(<source> <destination>)
# Installs <source> gzip-compressed as <name>.gz, as Debian wants manual pages and changelogs.
# Compressed at configure time, so that an install that builds nothing (`make package`) still
# finds it; editing the source configures again.
function(vellumar_install_compressed source destination)
    get_filename_component(name ${source} NAME)
    file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/compressed)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/compressed/${name}.gz)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    execute_process(COMMAND gzip -9nc ${source} OUTPUT_FILE ${output} COMMAND_ERROR_IS_FATAL ANY)
    install(FILES ${output} DESTINATION ${destination})
endfunction()
