# AddressSanitizer + UndefinedBehaviorSanitizer for the whole tree when CORVANEL_SANITIZE is on.
if(CORVANEL_SANITIZE)
    set(_san -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_compile_options(${_san})
    add_link_options(-fsanitize=address,undefined)
endif()
