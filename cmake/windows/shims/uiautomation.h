// MinGW-w64 12 lacks the UI Automation pieces below, which JUCE's Windows accessibility code uses;
// the values are those of the Windows SDK's UIAutomationClient.h and UIAutomationCore.h. Can go
// when MinGW-w64 ships them.
#pragma once
#include_next <uiautomation.h>

#ifdef __cplusplus
#ifndef UIA_IsReadOnlyAttributeId
 #define UIA_IsReadOnlyAttributeId 40015
#endif
#ifndef UIA_CaretPositionAttributeId
 #define UIA_CaretPositionAttributeId 40038
#endif

enum CaretPosition
{
    CaretPosition_Unknown = 0,
    CaretPosition_EndOfLine = 1,
    CaretPosition_BeginningOfLine = 2
};

MIDL_INTERFACE ("14f68475-ee1c-44f6-a869-d239381f0fe7")
ISelectionProvider2 : public ISelectionProvider
{
    virtual HRESULT STDMETHODCALLTYPE get_FirstSelectedItem (IRawElementProviderSimple** retVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_LastSelectedItem (IRawElementProviderSimple** retVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CurrentSelectedItem (IRawElementProviderSimple** retVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ItemCount (int* retVal) = 0;
};
__CRT_UUID_DECL (ISelectionProvider2, 0x14f68475, 0xee1c, 0x44f6, 0xa8, 0x69, 0xd2, 0x39, 0x38, 0x1f, 0x0f, 0xe7)
#endif
