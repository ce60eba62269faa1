# JUCE's modules, compiled once into one static library that the plug-in, the tests and the tools
# all link. Linking the module targets directly would compile the framework again in every target.

add_library(tarvik_juce STATIC)

target_link_libraries(tarvik_juce
    PRIVATE
        juce::juce_audio_utils
    PUBLIC
        juce::juce_recommended_config_flags
        juce::pkgconfig_JUCE_IMG_LINUX_DEPS
        PkgConfig::TARVIK_CODECS)

target_compile_definitions(tarvik_juce PUBLIC
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=0
    JUCE_VST3_CAN_REPLACE_VST2=0
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_REPORT_APP_USAGE=0
    JUCE_USE_FLAC=1
    JUCE_USE_OGGVORBIS=1
    JUCE_MODAL_LOOPS_PERMITTED=0
    JUCE_STRICT_REFCOUNTEDPOINTER=1)

# Consumers see the modules' headers (as system headers, so our warnings stay on our code) and the
# same module definitions the library was compiled with, but not the module sources.
target_include_directories(tarvik_juce SYSTEM INTERFACE
    $<TARGET_PROPERTY:tarvik_juce,INCLUDE_DIRECTORIES>)
target_compile_definitions(tarvik_juce INTERFACE
    $<TARGET_PROPERTY:tarvik_juce,COMPILE_DEFINITIONS>)
