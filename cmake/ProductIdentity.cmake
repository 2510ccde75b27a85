# The one product this installer carries, fixed at configure time. A maker sets their own
# identity with -D on the cmake command line; every generated name follows from it.

set(QF_PRODUCT_ID "Kestrune" CACHE STRING "Product identifier; '_' shows as a blank")
set(QF_PRODUCT_VERSION "1.0.0" CACHE STRING "Version of the plug-in the archives carry")
set(QF_MAKER_NAME "Quillfern" CACHE STRING "Maker: names the shared settings folder")
set(QF_WEBSITE_URL "https://quillfern.example/" CACHE STRING "Maker's web site")
set(QF_MANUAL_URL "https://docs.quillfern.example/manuals/${QF_PRODUCT_ID}_Manual.pdf" CACHE STRING "Product manual")
set(QF_CHAT_URL "https://chat.quillfern.example/invite/quillfern" CACHE STRING "Community chat invite")
set(QF_SUPPORT_EMAIL "support@quillfern.example" CACHE STRING "Support e-mail address")
set(QF_RIGHTS_NOTICE "Copyright (C) 2026 Quillfern. Licensed under the GNU AGPL v3." CACHE STRING "One-line rights notice on the support panel")

if(NOT QF_PRODUCT_VERSION MATCHES "^[0-9]+(\\.[0-9]+)?(\\.[0-9]+)?(\\.[0-9]+)?$")
    message(FATAL_ERROR "QF_PRODUCT_VERSION must be up to four dot-separated numbers, got '${QF_PRODUCT_VERSION}'")
endif()

string(REPLACE "_" " " QF_PRODUCT_NAME "${QF_PRODUCT_ID}")

# 1.0.0 -> 1,0,0,0 for a Windows version resource.
string(REPLACE "." ";" qf_version_parts "${QF_PRODUCT_VERSION}")
list(LENGTH qf_version_parts qf_version_count)
while(qf_version_count LESS 4)
    list(APPEND qf_version_parts 0)
    math(EXPR qf_version_count "${qf_version_count} + 1")
endwhile()
string(REPLACE ";" "," QF_PRODUCT_VERSION_COMMAS "${qf_version_parts}")

set(QF_GENERATED_DIR "${CMAKE_BINARY_DIR}/generated")
configure_file(${CMAKE_SOURCE_DIR}/Source/core/ProductInfo.h.in ${QF_GENERATED_DIR}/ProductInfo.h @ONLY)
