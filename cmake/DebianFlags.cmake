# Debian's hardening flags (dpkg-buildflags with hardening=+all: fortified
# functions, stack protector, format checks, full RELRO, immediate binding) for
# every target of an optimised build. A sanitizer or fuzzing build keeps its own
# flags: _FORTIFY_SOURCE wraps the very functions the sanitizers intercept.
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(DPKG_BUILDFLAGS AND NOT FLIPREEL_SANITIZE AND NOT FLIPREEL_FUZZ)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                            ${DPKG_BUILDFLAGS} --get ${kind}
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    # The build type chooses optimisation and debug information.
    list(FILTER flags EXCLUDE REGEX "^-(g|O[0-9s]?)$")
    # The prefix maps name the checkout's folder on every compile line, so a
    # compiler cache would miss for every other clone of the same sources.
    list(FILTER flags EXCLUDE REGEX "^-f(file|debug)-prefix-map=")
    set(DEB_${kind} ${flags})
  endforeach()
  set(optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
  # _FORTIFY_SOURCE needs optimisation; without it GCC warns and -Werror stops.
  target_compile_options(flipreel_config INTERFACE "$<${optimised}:${DEB_CPPFLAGS}>" ${DEB_CXXFLAGS})
  target_link_options(flipreel_config INTERFACE ${DEB_LDFLAGS})
endif()
