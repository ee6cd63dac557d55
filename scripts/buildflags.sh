# Sourced by build.sh and package.sh: Debian's build flags, as dpkg-buildflags
# gives them to every package with all hardening on (stack protector, fortify,
# format checks, control-flow protection, full RELRO with immediate binding),
# as CMake arguments in the array debian_flags.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# Debian 12's dpkg does not add control-flow protection yet; the compiler has it.
cf_protection=""
if "${CXX:-c++}" -fcf-protection -x c++ -E /dev/null >/dev/null 2>&1; then
  cf_protection=-fcf-protection
fi
debian_flags=(
  "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS) $cf_protection"
  "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)"
)
