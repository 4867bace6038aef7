# WebAssembly build with clang for wasm32-wasi against Debian's wasi-libc
# (packages clang, lld, wasi-libc, libclang-rt-14-dev-wasm32,
# libc++-14-dev-wasm32, libc++abi-14-dev-wasm32). Only the library, the
# solver and diodesolve are built; its programs are WASI commands (.wasm).
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(DALV_WASM ON CACHE BOOL "Build for WebAssembly (set by this toolchain file)")
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
