# Copies SOURCE to DESTINATION unless DESTINATION already exists: a file there is kept as it is.
# Usage: cmake -DSOURCE=<file> -DDESTINATION=<file> -P CopyIfMissing.cmake
if(NOT EXISTS "${DESTINATION}")
  file(COPY_FILE "${SOURCE}" "${DESTINATION}")
endif()
