# Windows metadata: manifest (administrator rights, Common Controls 6), version resource and
# the two icon groups, all configured from the project's identity. The resource script is
# generated on every build (a test compiles it with windres on Linux too); it is compiled into
# the executable only when the target is Windows.
add_custom_command(
    OUTPUT ${QF_GENERATED_DIR}/qf_installer.ico
    COMMAND qf_build_tool ico ${QF_GENERATED_DIR}/qf_installer.ico ${CMAKE_SOURCE_DIR}/Resources/icon_install.svg 86cf7a 16 32 48 256
    DEPENDS qf_build_tool ${CMAKE_SOURCE_DIR}/Resources/icon_install.svg
    COMMENT "Rendering the application icon")
add_custom_target(qf_windows_icon DEPENDS ${QF_GENERATED_DIR}/qf_installer.ico)

set(QF_INSTALLER_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
set(QF_INSTALLER_VERSION_DOTS "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
configure_file(packaging/windows/qf_installer.manifest.in ${QF_GENERATED_DIR}/qf_installer.manifest @ONLY)
configure_file(packaging/windows/qf_installer.rc.in ${QF_GENERATED_DIR}/qf_installer.rc @ONLY)

if(WIN32)
    target_sources(qf_installer PRIVATE ${QF_GENERATED_DIR}/qf_installer.rc)
    set_source_files_properties(${QF_GENERATED_DIR}/qf_installer.rc PROPERTIES INCLUDE_DIRECTORIES "${QF_GENERATED_DIR}"
                                OBJECT_DEPENDS "${QF_GENERATED_DIR}/qf_installer.ico;${QF_GENERATED_DIR}/qf_installer.manifest")
    add_dependencies(qf_installer qf_windows_icon)
    set_target_properties(qf_installer PROPERTIES WIN32_EXECUTABLE TRUE)
    if(MSVC)
        target_link_options(qf_installer PRIVATE /MANIFEST:NO)
    endif()
endif()
