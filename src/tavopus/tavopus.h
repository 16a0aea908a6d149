/* Link library for the ORBEK label printer: finds the printer, opens a link
 * to it and moves bytes over that link. Plain C so that any caller can use it.
 *
 * Every value is 32 bits wide; a result of 0 means success (or yes), anything
 * else failure (or no). A link handle of 0 means "no link".
 *
 * Backends. Normally the library talks to the kernel's USB printer devices:
 * device number N is /dev/usb/lpN (0 to 126), and a number answers only when
 * the IEEE 1284 device id of its node names the maker ORBEK, so no other
 * printer ever receives our bytes. When the environment variable
 * TAVOPUS_VIRTUAL names a folder, a virtual printer stands in instead: it is
 * device 0, answers as the printer would, and saves each label it receives
 * as label-NNNN.png (384 x 64) and label-NNNN.bin (the bytes as sent) in that
 * folder, each created under a fresh hidden name and renamed into place
 * without replacing anything. A folder that is not a directory or cannot be
 * written makes it absent (said once on standard error). Control files in
 * the folder: "silent" keeps it from ever answering 06; "unplugged" takes it
 * away until the file is removed; "stalled" makes every write block, which
 * ends the link after the write wait as with a real printer.
 *
 * The maker test compares the id byte for byte (see tavopus/DeviceId.h): the
 * id must hold exactly one MFG: or MANUFACTURER: field, and it must be
 * exactly ORBEK. The udev rule res/70-q8xj-label-printer.rules gives access
 * to exactly those devices. An id longer than 1 KiB is not accepted.
 *
 * Device-change notices. The library owns no window system, so the receiver
 * given to TavopRegistHandle is only a non-zero number; notices are handed
 * to it while it is registered. A notice is a kind and the device number it
 * concerns. The kernel's own device notices come from the system's device
 * manager (the caller watches it and makes the notices itself). Notices of
 * the virtual printer come from the library: TavopNoticeDescriptor gives a
 * descriptor that turns readable when notices may be waiting, the caller
 * watches it in its own event loop and calls TavopTakeNotice until it fails,
 * so notices always arrive on the caller's thread. A removal gives
 * TAVOP_DEVICE_REMOVED with the device's number followed by
 * TAVOP_DEVICES_CHANGED; an appearance gives TAVOP_DEVICES_CHANGED.
 *
 * All calls are meant to come from one thread; they are serialised inside. */
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum TavopNoticeKind {
    /* Printers may have come or gone: look for them again. */
    TAVOP_DEVICES_CHANGED = 1,
    /* The device with this number was taken away. */
    TAVOP_DEVICE_REMOVED = 2
};

struct TavopNotice {
    enum TavopNoticeKind kind;
    /* The device number of a removal; 0 for a change. */
    int32_t device;
#ifdef __cplusplus
    bool operator==(const TavopNotice&) const = default;
#endif
};

/* Remembers the receiver of notices; any earlier receiver is forgotten. */
uint32_t TavopRegistHandle(uint32_t receiver);
/* Forgets the receiver; waiting notices are dropped. Open links stay open. */
uint32_t TavopUnregistHandle(void);

/* 0 when a printer answers at this number (0 to 126); name then holds its
 * maker and model, NUL-terminated, at most 256 bytes with the NUL. */
uint32_t TavopCheckActiveDevice(int32_t number, char* name);
/* Opens a link to the printer at this number; 0 and a non-zero handle
 * written to *handle on success, *handle untouched on failure. */
uint32_t TavopStartDevice(uint32_t* handle, int32_t number);
/* Closes the link; the handle is invalid afterwards. */
uint32_t TavopEndDevice(uint32_t handle);
/* 0 when a removal notice for this device number is about the device of
 * this link and that device is really gone; non-zero for another device, for
 * a device that came back and still answers on this link, and for handle 0. */
uint32_t TavopCheckMyDevice(uint32_t handle, int32_t number);

/* Sends all count bytes; 0 when all went. A write waits at most 2 seconds
 * for the device to take its bytes (pausing 50 ms between tries while the
 * device reports an error); a device that takes nothing in that time is
 * treated as gone, like one that was pulled out: the link ends, this call
 * and every later call on the handle fail, and TavopCheckMyDevice says the
 * link's device is gone. */
uint32_t TavopUsbWrite(uint32_t handle, const void* bytes, uint32_t count);
/* Reads up to *count bytes. A reply is waited for until 50 ms have passed
 * since the last write on the link; after that a read takes only what has
 * already arrived and returns at once. (The label job pauses 10 ms or more
 * before most reads, so against a printer that never answers its reads add
 * about 0.3 s to the job's own pauses, not a wait per read.) The buffer's
 * first *count bytes
 * are zeroed first, so a read that receives nothing leaves zeros; *count is
 * set to the number received. 0 when at least one byte came. */
uint32_t TavopUsbRead(uint32_t handle, void* buffer, uint32_t* count);

/* Descriptor to watch for readability, or -1 when the backend has no notices
 * of its own (the kernel backend: watch the device manager instead). */
int TavopNoticeDescriptor(void);
/* Takes one waiting notice for the registered receiver; 0 when one was taken. */
uint32_t TavopTakeNotice(struct TavopNotice* notice);

#ifdef __cplusplus
}
#endif
