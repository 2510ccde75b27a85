# Windows metadata: manifest (administrator rights, Common Controls 6), version resource and
# the two icon groups. Only used when the target is Windows.
add_custom_command(
    OUTPUT ${QF_GENERATED_DIR}/qf_installer.ico
    COMMAND qf_build_tool ico ${QF_GENERATED_DIR}/qf_installer.ico ${CMAKE_SOURCE_DIR}/Resources/icon_install.svg 86cf7a 16 32 48 256
    DEPENDS qf_build_tool ${CMAKE_SOURCE_DIR}/Resources/icon_install.svg
    COMMENT "Rendering the application icon")
add_custom_target(qf_windows_icon DEPENDS ${QF_GENERATED_DIR}/qf_installer.ico)

if(WIN32)
    target_sources(qf_installer PRIVATE packaging/windows/qf_installer.rc)
    set_source_files_properties(packaging/windows/qf_installer.rc PROPERTIES
        INCLUDE_DIRECTORIES "${QF_GENERATED_DIR};${CMAKE_SOURCE_DIR}/packaging/windows")
    add_dependencies(qf_installer qf_windows_icon)
    set_target_properties(qf_installer PROPERTIES WIN32_EXECUTABLE TRUE)
    if(MSVC)
        target_link_options(qf_installer PRIVATE /MANIFEST:NO)
    endif()
endif()
