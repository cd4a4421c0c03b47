# One interface target carries the language level, the warnings and the sanitizers.
add_library(tarvik_options INTERFACE)
target_compile_features(tarvik_options INTERFACE cxx_std_20)

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(tarvik_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                                  -Wold-style-cast -Wcast-align -Woverloaded-virtual
                                                  -Wnull-dereference -Wsuggest-override)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(tarvik_options INTERFACE -Wduplicated-cond -Wlogical-op)
  endif()
  # g++ 12 at -O2 and above reports -Wrestrict for "text" + std::string temporaries
  # inside libstdc++ itself (GCC bug 105329), a false positive that -Werror would
  # turn into a build failure.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
     AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(tarvik_options INTERFACE -Wno-restrict)
  endif()
  if(TARVIK_WARNINGS_AS_ERRORS)
    target_compile_options(tarvik_options INTERFACE -Werror)
  endif()
  if(TARVIK_SANITIZERS)
    target_compile_options(tarvik_options INTERFACE -fsanitize=${TARVIK_SANITIZERS} -fno-omit-frame-pointer
                                                    -fno-sanitize-recover=all)
    target_link_options(tarvik_options INTERFACE -fsanitize=${TARVIK_SANITIZERS})
  endif()
endif()

# The Qt-free libraries also build clean under -Wconversion: every narrowing
# there is a written cast.
function(tarvik_conversion_warnings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wconversion)
  endif()
endfunction()
