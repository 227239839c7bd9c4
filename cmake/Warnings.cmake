# Warnings for our own targets only: call mv_warnings(target) on each one.
function(mv_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wformat=2)
endfunction()
