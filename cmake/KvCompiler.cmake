# Compiler settings shared by every target of the project.

find_program(KV_CCACHE ccache)
if(KV_CCACHE)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${KV_CCACHE})
endif()

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()

# Warnings apply to our own targets only (kv_target_defaults), never to system headers.
function(kv_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 warns falsely on "literal" + std::string&& (its bug 105329).
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()

if(KV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(KV_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "KV_FUZZ needs clang++ (CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# A static library from every .cpp file of a source folder; link it by its alias kv::<folder>.
function(kv_add_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  # Headers used only inside the library live in detail/, seen by nobody else.
  if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/detail)
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/detail)
  endif()
  kv_target_defaults(${name})
endfunction()
