/* The exported header, with the block's layout and its offset checks, is valid C for the
 * package's C callers. */
#include "vexscan/api/vexscan.h"

int publicHeaderBlockSize(void);
int publicHeaderBlockSize(void) { return (int)sizeof(ScanParamBlock); }
