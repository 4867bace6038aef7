# Shared build settings, applied to every target of the project by one function.

option(DALV_WERROR "Turn compiler warnings into errors" OFF)

# dalv_settings(<target>): language standard, warnings and exact floating point.
# -ffp-contract=off keeps every multiply and add a separately rounded binary64
# operation, also with -march=native on FMA hardware; fast-math is never used.
function(dalv_settings target)
  target_compile_features(${target} PRIVATE cxx_std_17)
  set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF C_EXTENSIONS OFF)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE
      -ffp-contract=off
      -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wdouble-promotion
      -Wformat=2 -Wcast-qual -Wwrite-strings
      $<$<COMPILE_LANGUAGE:CXX>:-Wmissing-declarations -Wold-style-cast -fno-exceptions -fno-rtti>
      $<$<BOOL:${DALV_WERROR}>:-Werror>)
  endif()
endfunction()
