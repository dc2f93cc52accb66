/* The hardware-sensor library interface. A sensor library is a plug-in shared object
 * that exports one C symbol per ordinal of the vendor's interface, with the same
 * arguments and results. The reader needs all 27 symbols; a library that lacks one
 * counts as not loaded.
 *
 * Texts are 8-bit (UTF-8), zero-terminated and cut to the buffer size given.
 * Numeric readings that the machine does not offer are returned as -1.
 */
#ifndef VELTRIMA_SENSORS_H
#define VELTRIMA_SENSORS_H

#ifdef __cplusplus
extern "C" {
#endif

#define VELTRIMA_SENSORS_EXPORT __attribute__((visibility("default")))

/* Initialisation with flags (1 = verbose, 64 = quiet): 0 = ready, else an error code. */
VELTRIMA_SENSORS_EXPORT int ordinal_338(int flags);
/* Shuts the library down. */
VELTRIMA_SENSORS_EXPORT void ordinal_501(void);

/* Memory modules, by module index 0..15. */
VELTRIMA_SENSORS_EXPORT int ordinal_448(int module);                             /* size in MB, < 1 = none */
VELTRIMA_SENSORS_EXPORT int ordinal_413(int module, char *buffer, int size);     /* manufacturer */
VELTRIMA_SENSORS_EXPORT int ordinal_33(int module, char *buffer, int size);      /* type, e.g. "DDR4" */
VELTRIMA_SENSORS_EXPORT int ordinal_35(int module, char *buffer, int size);      /* second text: slot locator */
VELTRIMA_SENSORS_EXPORT int ordinal_987(int module, char *buffer, int size);     /* part number */
VELTRIMA_SENSORS_EXPORT double ordinal_873(int module);                          /* frequency, MHz */

/* Board values. */
VELTRIMA_SENSORS_EXPORT double ordinal_317(void);                                /* memory clock, MHz */
VELTRIMA_SENSORS_EXPORT int ordinal_480(char *buffer, int size);                 /* board text */
VELTRIMA_SENSORS_EXPORT int ordinal_795(char *buffer, int size);                 /* chipset */
VELTRIMA_SENSORS_EXPORT double ordinal_493(void);                                /* CAS latency */
VELTRIMA_SENSORS_EXPORT int ordinal_215(void);                                   /* tRCD */
VELTRIMA_SENSORS_EXPORT int ordinal_404(void);                                   /* timing */
VELTRIMA_SENSORS_EXPORT int ordinal_558(void);                                   /* timing */
VELTRIMA_SENSORS_EXPORT int ordinal_256(void);                                   /* channel count */

/* Sensors and their readings. */
VELTRIMA_SENSORS_EXPORT int ordinal_462(void);                                   /* sensor count; takes a fresh reading */
VELTRIMA_SENSORS_EXPORT int ordinal_947(int sensor, char *buffer, int size);     /* sensor name */
VELTRIMA_SENSORS_EXPORT int ordinal_280(int sensor);                             /* before a sensor's readings */
VELTRIMA_SENSORS_EXPORT double ordinal_253(int sensor, int reading, char *label, int labelSize);
VELTRIMA_SENSORS_EXPORT double ordinal_475(int sensor, int reading, char *label, int labelSize,
                                           char *unit, int unitSize);

/* Required by the interface, never called by the reader. */
VELTRIMA_SENSORS_EXPORT int ordinal_129(void);
VELTRIMA_SENSORS_EXPORT int ordinal_590(void);
VELTRIMA_SENSORS_EXPORT int ordinal_631(void);
VELTRIMA_SENSORS_EXPORT int ordinal_754(void);
VELTRIMA_SENSORS_EXPORT int ordinal_808(void);
VELTRIMA_SENSORS_EXPORT int ordinal_923(void);

/* Optional, not an ordinal: hands the library its configuration before ordinal_338
 * (the scenario library: the scenario file; the Linux library: a root folder that
 * stands for "/"). 0 = accepted. */
VELTRIMA_SENSORS_EXPORT int veltrima_sensors_configure(const char *config);

#ifdef __cplusplus
}
#endif

#endif
