/* Sets a file's owner and access list from a security descriptor string, for the machine-pass
 * audit tests under Wine, which stores what is set:
 *   set_security PATH SDDL
 * Exit status 0 when set, 1 on a wrong call, 2 when the descriptor or the call fails. */
#include <windows.h>
#include <sddl.h>

int main(int argc, char** argv)
{
    PSECURITY_DESCRIPTOR descriptor = NULL;
    if (argc != 3) {
        return 1;
    }
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(argv[2], SDDL_REVISION_1, &descriptor,
                                                              NULL)) {
        return 2;
    }
    BOOL set = SetFileSecurityA(argv[1], OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                descriptor);
    LocalFree(descriptor);
    return set ? 0 : 2;
}
