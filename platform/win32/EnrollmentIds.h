#pragma once

#include <windows.h>

// The Certificate Enrollment Control as COM knows it, for the program and for
// the stand-in that takes the control's place under Wine.

// CEnroll: {43F8F289-7A20-11D0-8F06-00C04FC295E1}
inline constexpr CLSID kClsidCEnroll = {
    0x43F8F289, 0x7A20, 0x11D0, {0x8F, 0x06, 0x00, 0xC0, 0x4F, 0xC2, 0x95, 0xE1}};
// ICEnroll3, which older controls of 2000 and XP answer without ICEnroll4:
// {C28C2D95-B7DE-11D2-A421-00C04F79FE8E}
inline constexpr IID kIidICEnroll3 = {
    0xC28C2D95, 0xB7DE, 0x11D2, {0xA4, 0x21, 0x00, 0xC0, 0x4F, 0x79, 0xFE, 0x8E}};
// ICEnroll4, the default interface: {C1F1188A-2EB5-4A80-841B-7E729A356D90}
inline constexpr IID kIidICEnroll4 = {
    0xC1F1188A, 0x2EB5, 0x4A80, {0x84, 0x1B, 0x7E, 0x72, 0x9A, 0x35, 0x6D, 0x90}};
