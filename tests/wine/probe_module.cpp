// A module with no version resource for the path and version tests to load from odd places.
extern "C" __declspec(dllexport) int ProbeModuleAnswer() {
    return 42;
}
