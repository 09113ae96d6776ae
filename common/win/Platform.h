/*
 * The Windows headers as the Windows layer uses them. Every file of the
 * Windows layer includes this instead of <windows.h>, so that the SDK's
 * character-set macros that collide with the component's own names
 * (LoadString) are removed in one place.
 */
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#undef LoadString
