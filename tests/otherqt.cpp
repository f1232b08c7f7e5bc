// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

// Preloaded by the lifecycle test, it makes the Qt run time tell another version than the one
// the program was built with, as an unpackaged build run against another Qt would.
extern "C" const char *qVersion() noexcept
{
    return "0.0.0";
}
