# SPDX-FileCopyrightText: 2026 Tarnwick
# SPDX-License-Identifier: MIT

# Release builds are hardened as Debian hardens its own packages (dpkg-buildflags, with
# hardening=+all): Debian 13's set, which adds stack-clash and control-flow protection to Debian
# 12's, on either release where the compiler has them. Debug builds are left alone: fortifying
# needs optimisation.
include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)
include(CheckPIESupported)

check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

# harden(compile|link FLAG DECIDED): adds FLAG to Release and RelWithDebInfo builds when the
# toolchain takes it, unless the environment's CXXFLAGS or LDFLAGS already decide the matter
# (DECIDED, a regular expression): theirs win.
function(harden kind flag decided)
    string(MAKE_C_IDENTIFIER "have${flag}" have)
    set(CMAKE_REQUIRED_FLAGS -Wformat) # -Werror=format-security is ignored without it
    if(kind STREQUAL compile)
        check_cxx_compiler_flag(${flag} ${have})
        set(given "${CMAKE_CXX_FLAGS}")
    else()
        check_linker_flag(CXX ${flag} ${have})
        set(given "${CMAKE_EXE_LINKER_FLAGS}")
    endif()
    if(${have} AND NOT given MATCHES "${decided}")
        cmake_language(CALL add_${kind}_options
                       $<$<OR:$<CONFIG:Release>,$<CONFIG:RelWithDebInfo>>:${flag}>)
    endif()
endfunction()

harden(compile -D_FORTIFY_SOURCE=2 _FORTIFY_SOURCE)
harden(compile -fstack-protector-strong stack-protector)
harden(compile -fstack-clash-protection stack-clash-protection)
# Each for its own architecture (x86, arm64); other targets' compilers refuse it.
harden(compile -fcf-protection cf-protection)
harden(compile -mbranch-protection=standard branch-protection)
harden(compile -Wformat "-W(no-)?format( |=|$)")
harden(compile -Werror=format-security "format-security|-Wno-format( |$)")
harden(link -Wl,-z,relro relro)
harden(link -Wl,-z,now "-z,(now|lazy)")
