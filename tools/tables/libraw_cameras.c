/* Prints the camera list of the installed LibRaw, one camera per line, and
 * its version on a last line starting with "#".
 *
 * Development-time only: make_cameras.py compiles and runs this to learn
 * which cameras LibRaw develops. The program and the build never link
 * LibRaw for this.
 *
 *   cc tools/tables/libraw_cameras.c -o /tmp/libraw_cameras -lraw
 */
#include <libraw/libraw.h>
#include <stdio.h>

int main(void)
{
    const char** list = libraw_cameraList();
    for (int i = 0; list[i] != NULL; ++i)
        puts(list[i]);
    printf("# LibRaw %s\n", libraw_version());
    return 0;
}
