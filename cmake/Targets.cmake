# The installer's own libraries and executable, read top-down: the window (qf_ui) and the
# command line (qf_cli) over one installer core (qf_core). The core links juce_core only, so
# it cannot include a GUI header. `suffix` names a second set built with other options (the
# sanitized tests).

set(QF_CORE_SOURCES ArchiveChecks BackgroundRun InstallRun InstallStatus PeVersion Platform PluginFormats
                    SettingsFile TextDecoding)
list(TRANSFORM QF_CORE_SOURCES REPLACE "(.+)" "${CMAKE_SOURCE_DIR}/Source/core/\\1.cpp")

set(QF_CLI_SOURCES ${CMAKE_SOURCE_DIR}/Source/cli/CommandLine.cpp)

set(QF_UI_SOURCES
    AccessibleButton.cpp CustomLookAndFeel.cpp LicenceText.cpp MainComponent.cpp MainComponentPaint.cpp
    panels/PanelFrame.cpp panels/panel_changelog.cpp panels/panel_eula.cpp panels/panel_settings.cpp
    panels/panel_support.cpp)
list(TRANSFORM QF_UI_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/Source/ui/)

function(qf_add_installer_targets suffix)
    add_library(qf_core${suffix} STATIC ${QF_CORE_SOURCES})
    target_include_directories(qf_core${suffix} PUBLIC ${CMAKE_SOURCE_DIR}/Source/core ${QF_GENERATED_DIR})
    target_link_libraries(qf_core${suffix} PUBLIC juce_core_only qf_resources PRIVATE qf_warnings)

    add_library(qf_cli${suffix} STATIC ${QF_CLI_SOURCES})
    target_include_directories(qf_cli${suffix} PUBLIC ${CMAKE_SOURCE_DIR}/Source/cli)
    target_link_libraries(qf_cli${suffix} PUBLIC qf_core${suffix} PRIVATE qf_warnings)

    add_library(qf_ui${suffix} STATIC ${QF_UI_SOURCES})
    target_include_directories(qf_ui${suffix} PUBLIC ${CMAKE_SOURCE_DIR}/Source/ui ${CMAKE_SOURCE_DIR}/Source/ui/panels)
    target_link_libraries(qf_ui${suffix} PUBLIC qf_core${suffix} juce PRIVATE qf_warnings)

    add_executable(qf_installer${suffix} ${CMAKE_SOURCE_DIR}/Source/ui/Main.cpp)
    target_link_libraries(qf_installer${suffix} PRIVATE qf_ui${suffix} qf_cli${suffix} qf_warnings)
endfunction()
