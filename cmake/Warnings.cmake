# Strict warnings for our own targets; a new warning fails the build.
function(mvt_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
        -Wcast-qual -Wformat=2 -Wimplicit-fallthrough -Wmissing-declarations
        # designated initialisers leave the other members at their defaults on purpose
        -Wno-missing-field-initializers
        -Werror)
    # Every conversion between bytes and text is written out, so that its encoding is chosen, not
    # assumed (bytes are never a char pointer by themselves either); a connect whose argument would
    # narrow fails to build; a + b builds a string at once; nothing Qt 6.4 deprecates is used.
    target_compile_definitions(${target} PRIVATE
        QT_NO_CAST_FROM_ASCII
        QT_NO_CAST_TO_ASCII
        QT_NO_CAST_FROM_BYTEARRAY
        QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
        QT_USE_QSTRINGBUILDER
        QT_DISABLE_DEPRECATED_UP_TO=0x060400)
endfunction()
