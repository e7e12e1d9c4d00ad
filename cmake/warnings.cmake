# One interface target carries the warning and sanitizer flags for every
# target of the project.
add_library(qlx_warnings INTERFACE)
target_compile_options(qlx_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wno-sign-conversion
  # Big records (the 375,096-byte settings record, image entries) live on the
  # heap; a large stack frame is almost always one of them by mistake.
  -Wframe-larger-than=16384)
if(QLX_WERROR)
  target_compile_options(qlx_warnings INTERFACE -Werror)
endif()

if(QLX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Fuzzing: every library the targets link is instrumented for coverage and
# checked by the sanitizers, not only the harness itself.
if(QLX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
