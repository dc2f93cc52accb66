// A sensor library that lacks one entry point: built once without ordinal_923, which the
// reader never calls, and once without ordinal_475, which every scan calls.
extern "C" {
int ordinal_338(int) { return 0; }
void ordinal_501(void) {}
int ordinal_448(int) { return 16384; }
int ordinal_413(int, char *, int) { return 0; }
int ordinal_33(int, char *, int) { return 0; }
int ordinal_35(int, char *, int) { return 0; }
int ordinal_987(int, char *, int) { return 0; }
double ordinal_873(int) { return 0.0; }
double ordinal_317(void) { return 0.0; }
int ordinal_480(char *, int) { return 0; }
int ordinal_795(char *, int) { return 0; }
double ordinal_493(void) { return 0.0; }
int ordinal_215(void) { return 0; }
int ordinal_404(void) { return 0; }
int ordinal_558(void) { return 0; }
int ordinal_256(void) { return 0; }
int ordinal_462(void) { return 0; }
int ordinal_947(int, char *, int) { return 0; }
int ordinal_280(int) { return 0; }
double ordinal_253(int, int, char *, int) { return 0.0; }
int ordinal_129(void) { return 0; }
int ordinal_590(void) { return 0; }
int ordinal_631(void) { return 0; }
int ordinal_754(void) { return 0; }
int ordinal_808(void) { return 0; }
#ifdef VELTRIMA_WITHOUT_READINGS
int ordinal_923(void) { return 0; }
#else
double ordinal_475(int, int, char *, int, char *, int) { return 0.0; }
#endif
}
