# Warnings for the project's own targets; external headers stay quiet.
add_library(qrp_warnings INTERFACE)
target_compile_options(qrp_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Wimplicit-fallthrough)
