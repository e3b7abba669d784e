# SPDX-License-Identifier: MIT
# Two interface targets carry the language level, warnings and sanitizers;
# every target of the project links both.
add_library(veyla_options INTERFACE)
target_compile_features(veyla_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
if(VEYLA_SANITIZE)
  target_compile_options(veyla_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(veyla_options INTERFACE -fsanitize=address,undefined)
endif()
if(VEYLA_BUILD_FUZZ)
  # Coverage feedback from the libraries too, not only from the fuzz entry points.
  target_compile_options(veyla_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

add_library(veyla_warnings INTERFACE)
target_compile_options(veyla_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast -Wnon-virtual-dtor)

# veyla_core_library(NAME SOURCES... [DEPS ...]) declares one core subsystem.
function(veyla_core_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(veyla_${name} STATIC ${ARG_SOURCES})
  add_library(veyla::${name} ALIAS veyla_${name})
  target_include_directories(veyla_${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  target_link_libraries(veyla_${name} PUBLIC veyla_options ${ARG_DEPS} PRIVATE veyla_warnings)
endfunction()
