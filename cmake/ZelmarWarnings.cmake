# Every target of ours gets the same strict warnings.
function(zelmar_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()
