# Compiles the Windows resource script with MinGW's windres, proving it is valid, and checks
# that the output holds the manifest, the version resource and both icon groups.
execute_process(COMMAND ${WINDRES} --preprocessor=cpp -I ${INCLUDES} ${RC} -O coff -o ${OUT}
                RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "windres failed: ${errors}")
endif()
execute_process(COMMAND ${WINDRES} --preprocessor=cpp -I ${INCLUDES} ${RC} -O rc
                OUTPUT_VARIABLE decompiled RESULT_VARIABLE result)
foreach(expected "\"IDI_ICON1\" 14" "\"IDI_ICON2\" 14" "8 3 /* RT_ICON" "1 VERSIONINFO" "1 24 /* RT_MANIFEST" "requireAdministrator" "Microsoft.Windows.Common-Controls"
                 "FILEVERSION 1, 3, 0, 0" "\"FileDescription\", \"qf_installer\"" "\"ProductVersion\", \"1.3.0\"")
    string(FIND "${decompiled}" "${expected}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "compiled resources lack '${expected}'")
    endif()
endforeach()
