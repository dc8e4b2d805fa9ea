// A library that takes the sound server's client library's name and has none of its functions,
// for the tests of a machine where that library cannot be used.
extern "C" int tollvane_not_the_sound_library() {
    return 0;
}
