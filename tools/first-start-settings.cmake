# Writes the settings file a build-tree copy of the program starts with, unless there is one:
# the defaults the program itself would write, except that the disc folder is the sample disc
# the build makes, so the first Play plays something. An existing file is never touched.
# Usage: cmake -DFILE=<build>/quorvel2.ini -DDISC=<folder holding VIDEO_TS> -P first-start-settings.cmake
if(NOT FILE OR NOT DISC)
    message(FATAL_ERROR "first-start-settings.cmake needs -DFILE=... and -DDISC=...")
endif()
if(EXISTS "${FILE}")
    return()
endif()
file(WRITE "${FILE}"
    "[quorvel]\nvolume=-5000\nbalance=0\nscreen=0\nmute=0\nspeed=3\nr_lbl=0\nl_lbl=0\ndir=${DISC}\ndirsta=0\n")
message(STATUS "Wrote ${FILE}: the first start plays the sample disc in ${DISC}")
