if(ZELMAR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(ZELMAR_TSAN)
  # GCC's flow analysis reads poorly through TSan's instrumentation and takes
  # values set by a called function for unset; the other builds keep the warning.
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer -Wno-maybe-uninitialized)
  add_link_options(-fsanitize=thread)
endif()
