#pragma once

// The Windows headers map these names to their A or W functions with macros. The ports use the
// same names for their own operations, so the adapters call the A functions by their full names
// and keep the plain names free. Include after the Windows headers.
#undef GetPrivateProfileInt
#undef LoadString
#undef MessageBox
#undef PlaySound
#undef PostMessage
#undef ReplaceFile
#undef SetCurrentDirectory
