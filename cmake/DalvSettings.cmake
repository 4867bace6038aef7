# Shared build settings, applied to every target of the project by one function.

option(DALV_WERROR "Turn compiler warnings into errors" OFF)
option(DALV_SANITIZE "Build everything with the address and undefined-behaviour sanitizers" OFF)
option(DALV_FUZZ "Build the libFuzzer targets (needs clang; implies DALV_SANITIZE)" OFF)

if(DALV_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "DALV_FUZZ needs clang++ (libFuzzer)")
  endif()
  set(DALV_SANITIZE ON)
endif()

set(dalv_release "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
# WebAssembly has neither the stack protector's runtime nor RELRO.
set(dalv_hardened
  "$<AND:${dalv_release},$<NOT:$<BOOL:${DALV_SANITIZE}>>,$<NOT:$<BOOL:${DALV_WASM}>>>")

# dalv_settings(<target> [PIC] [FUZZER] [REACTOR] [SMALL] [DEFINES <name=value>...]):
# language standard, warnings, exact floating point, hardening of release
# builds, the sanitizers when asked for, and no compiler identification
# (.comment) in programs and libraries; the one place that sets a target's
# flags. PIC makes a library position-independent; FUZZER links a
# libFuzzer target; with DALV_FUZZ every library is
# built with libFuzzer's coverage feedback. REACTOR makes a WebAssembly
# module a reactor (no main); SMALL builds it for size in WebAssembly.
# DEFINES are compile definitions.
# -ffp-contract=off keeps every multiply and add a separately rounded binary64
# operation, also with -march=native on FMA hardware; fast-math is never used.
function(dalv_settings target)
  cmake_parse_arguments(PARSE_ARGV 1 opt "PIC;FUZZER;REACTOR;SMALL" "" "DEFINES")
  target_compile_features(${target} PRIVATE cxx_std_17)
  if(opt_PIC)
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  endif()
  if(opt_DEFINES)
    target_compile_definitions(${target} PRIVATE ${opt_DEFINES})
  endif()
  set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF C_EXTENSIONS OFF)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    return()
  endif()
  target_compile_options(${target} PRIVATE
    -ffp-contract=off
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wdouble-promotion
    -Wformat=2 -Wcast-qual -Wwrite-strings
    $<$<COMPILE_LANGUAGE:CXX>:-Wmissing-declarations -Wold-style-cast -fno-exceptions -fno-rtti>
    $<$<BOOL:${DALV_WERROR}>:-Werror>
    $<${dalv_hardened}:-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2 -fstack-protector-strong
                       -Wformat -Werror=format-security>)
  target_link_options(${target} PRIVATE
    $<${dalv_hardened}:LINKER:-z,relro LINKER:-z,now>)
  if(DALV_SANITIZE)
    target_compile_options(${target} PRIVATE
      -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  get_target_property(type ${target} TYPE)
  if(DALV_FUZZ AND type STREQUAL "STATIC_LIBRARY")
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
  if(opt_FUZZER)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  endif()
  if(opt_REACTOR)
    target_link_options(${target} PRIVATE -mexec-model=reactor)
  endif()
  # The page carries its WebAssembly: code that runs once per action (the
  # parsers, the comparison, the sheets, the module's glue) is built for
  # size; the methods, the map's lanes and the true root stay fast.
  if(DALV_WASM AND opt_SMALL)
    target_compile_options(${target} PRIVATE -Oz)
  endif()
  if(DALV_WASM AND type STREQUAL "EXECUTABLE")
    set_target_properties(${target} PROPERTIES SUFFIX .wasm)
    # The page carries the modules: no names or debug sections.
    target_link_options(${target} PRIVATE -Wl,--strip-all)
  endif()
  if(CMAKE_OBJCOPY AND NOT DALV_WASM AND type MATCHES "EXECUTABLE|STATIC_LIBRARY")
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_OBJCOPY} -D --remove-section=.comment $<TARGET_FILE:${target}>
      VERBATIM)
  endif()
endfunction()
