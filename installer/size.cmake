# Prints the size of the setup program and warns when it is over the limit.
#   cmake -DFILE=<setup program> -DLIMIT=<bytes> -P size.cmake
file(SIZE "${FILE}" size)
math(EXPR kib "(${size} + 1023) / 1024")
get_filename_component(name "${FILE}" NAME)
message(STATUS "${name}: ${size} bytes (${kib} KiB, at most ${LIMIT} bytes wanted)")
if(size GREATER LIMIT)
  message(WARNING "${name} is larger than ${LIMIT} bytes")
endif()
