# Compiles the resource files into the executable as read-only byte arrays (see
# GenerateResources.cmake). The list order is the order of the generated tables.

set(QF_FONT_DIR "/usr/share/fonts/opentype/dosis" CACHE PATH "Folder holding Dosis-Book.otf and Dosis-SemiBold.otf")
foreach(font Dosis-Book.otf Dosis-SemiBold.otf)
    if(NOT EXISTS "${QF_FONT_DIR}/${font}")
        message(FATAL_ERROR "${QF_FONT_DIR}/${font} is missing: install the Debian package fonts-dosis")
    endif()
endforeach()

set(QF_RESOURCE_FILES
    ${QF_ARCHIVES}
    ${QF_FONT_DIR}/Dosis-Book.otf
    ${QF_FONT_DIR}/Dosis-SemiBold.otf
    ${CMAKE_SOURCE_DIR}/Resources/icon_aax.svg
    ${CMAKE_SOURCE_DIR}/Resources/icon_clap.svg
    ${CMAKE_SOURCE_DIR}/Resources/icon_discord.svg
    ${CMAKE_SOURCE_DIR}/Resources/icon_install.svg
    ${CMAKE_SOURCE_DIR}/Resources/icon_mail.svg
    ${CMAKE_SOURCE_DIR}/Resources/icon_vst3.svg
    ${CMAKE_SOURCE_DIR}/Resources/logo_quillfern.svg
    ${CMAKE_SOURCE_DIR}/Resources/CHANGELOG.md)

# GNU toolchains pull the bytes in with the assembler's .incbin, which takes no time even for
# ten-megabyte archives; other compilers get the bytes as C++ array initialisers.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    set(QF_RESOURCE_MODE incbin)
    enable_language(ASM)
    set(QF_RESOURCE_SOURCES ${QF_GENERATED_DIR}/BinaryData.cpp ${QF_GENERATED_DIR}/BinaryData.S)
else()
    set(QF_RESOURCE_MODE arrays)
    set(QF_RESOURCE_SOURCES ${QF_GENERATED_DIR}/BinaryData.cpp)
endif()

set(qf_archive_ids vst3_zip clap_zip aax_zip)

string(REPLACE ";" "|" qf_resource_arg "${QF_RESOURCE_FILES}")
add_custom_command(
    OUTPUT ${QF_RESOURCE_SOURCES} ${QF_GENERATED_DIR}/BinaryData.h
    COMMAND ${CMAKE_COMMAND} "-DFILES=${qf_resource_arg}" -DOUT_DIR=${QF_GENERATED_DIR}
            -DMODE=${QF_RESOURCE_MODE} -DOBJECT_FORMAT=$<IF:$<BOOL:${WIN32}>,coff,elf> -P ${CMAKE_SOURCE_DIR}/cmake/GenerateResources.cmake
    DEPENDS ${QF_RESOURCE_FILES} ${CMAKE_SOURCE_DIR}/cmake/GenerateResources.cmake
    COMMENT "Generating the resource table"
    VERBATIM)

# The CRC-32 of each archive as built, which the installer checks before it extracts.
set(qf_digest_args)
foreach(zip id IN ZIP_LISTS QF_ARCHIVES qf_archive_ids)
    list(APPEND qf_digest_args "${id}=${zip}")
endforeach()
add_custom_command(
    OUTPUT ${QF_GENERATED_DIR}/ArchiveDigests.h
    COMMAND qf_build_tool digests ${QF_GENERATED_DIR}/ArchiveDigests.h ${qf_digest_args}
    DEPENDS qf_build_tool ${QF_ARCHIVES}
    COMMENT "Recording the archives' checksums"
    VERBATIM)

add_library(qf_resources STATIC ${QF_RESOURCE_SOURCES} ${QF_GENERATED_DIR}/ArchiveDigests.h)
target_include_directories(qf_resources PUBLIC ${QF_GENERATED_DIR})
if(QF_RESOURCE_MODE STREQUAL "incbin")
    # The assembler cannot see the files it includes; without this a changed archive of the
    # same size would not be picked up.
    set_source_files_properties(${QF_GENERATED_DIR}/BinaryData.S PROPERTIES OBJECT_DEPENDS "${QF_RESOURCE_FILES}")
endif()
