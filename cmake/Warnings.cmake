# Strict warnings for our own targets; a new warning fails the build.
function(mvt_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
        -Wcast-qual -Wformat=2 -Wimplicit-fallthrough -Wmissing-declarations
        # designated initialisers leave the other members at their defaults on purpose
        -Wno-missing-field-initializers
        -Werror)
endfunction()
