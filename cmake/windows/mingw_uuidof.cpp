// JUCE writes __uuidof of a ComSmartPtr variable; MSVC answers with the interface's IID, MinGW-w64
// asks for __mingw_uuidof<ComSmartPtr<...>>, which nobody defines. Can go when JUCE names the interface.
#include <windows.h>
#include <dxgi.h>

#define JUCE_CORE_INCLUDE_COM_SMART_PTR 1
#include <juce_core/juce_core.h>

template <>
const GUID& __mingw_uuidof<juce::ComSmartPtr<IDXGISurface>>()
{
    return __mingw_uuidof<IDXGISurface>();
}

template <>
const GUID& __mingw_uuidof<juce::ComSmartPtr<IDXGIDevice>>()
{
    return __mingw_uuidof<IDXGIDevice>();
}
