// ThreadSanitizer reads these suppressions when the test program starts (unused otherwise).
// Qt is not built with ThreadSanitizer: QThread hands over between threads inside
// libQt6Core on futexes it cannot see, so calls made from inside that library (such as
// QThread's own wait condition) are not judged. Races in our code stay reported, also
// when it is called through Qt.
extern "C" const char* __tsan_default_suppressions();
extern "C" const char* __tsan_default_suppressions() {
    return "called_from_lib:libQt6Core.so.6\n";
}
