# Warnings are errors in our own code; JUCE's headers are included as system headers.
add_library(qf_warnings INTERFACE)
if(MSVC)
    target_compile_options(qf_warnings INTERFACE /W4 /WX)
else()
    target_compile_options(qf_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                           -Wno-sign-conversion -Wnon-virtual-dtor -Woverloaded-virtual -Werror)
endif()
