# WebAssembly build with clang for wasm32-wasi against Debian's wasi-libc
# (packages clang, lld, wasi-libc, libclang-rt-14-dev-wasm32,
# libc++-14-dev-wasm32, libc++abi-14-dev-wasm32).
# Builds the library, the solver, diodesolve (a WASI command) and the
# page's module diodeweb (a reactor), each as .wasm.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(DALV_WASM ON CACHE BOOL "Build for WebAssembly (set by this toolchain file)")
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
# 128-bit SIMD (every current browser and node have it): the map's lanes
# run two circuits per instruction. Its operations on doubles round as the
# scalar ones do, and there is no fused multiply-add without relaxed SIMD.
set(CMAKE_C_FLAGS_INIT -msimd128)
set(CMAKE_CXX_FLAGS_INIT -msimd128)
