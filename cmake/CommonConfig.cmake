# One compile configuration that every target links.
add_library(flipreel_config INTERFACE)
target_compile_features(flipreel_config INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_definitions(flipreel_config INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_KEYWORDS
  QT_USE_QSTRINGBUILDER
  QT_DISABLE_DEPRECATED_BEFORE=0x060400
  FLIPREEL_VERSION="${PROJECT_VERSION}")
target_compile_options(flipreel_config INTERFACE -Wall -Wextra -pedantic-errors -Wold-style-cast -Wnon-virtual-dtor)
if(DEFINED ENV{CI})
  # GCC 12 reports maybe-uninitialized falsely around std::optional<QString>.
  target_compile_options(flipreel_config INTERFACE -Werror -Wno-error=maybe-uninitialized)
endif()

# Sanitizers for every target, as -fsanitize= takes them (address,undefined or thread).
set(FLIPREEL_SANITIZE "" CACHE STRING "sanitizers to build with, e.g. address,undefined or thread")
if(FLIPREEL_SANITIZE)
  # -O1 -g1: line numbers in reports, and a clean build that fits CI's time.
  add_compile_options(-fsanitize=${FLIPREEL_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all -O1 -g1)
  add_link_options(-fsanitize=${FLIPREEL_SANITIZE})
endif()
