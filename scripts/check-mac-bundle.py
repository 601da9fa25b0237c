#!/usr/bin/env python3
"""What a Mac checks first on Kestrune.vst, checked on Linux with LLVM's Mach-O tools.

  scripts/check-mac-bundle.py <Kestrune.vst> <bundle identifier>

The executable is universal with exactly the x86_64 and arm64 slices; each slice is a bundle (MH_BUNDLE)
with a minimum macOS version, an ad-hoc code signature, exactly the entry points VSTPluginMain, main and
main_macho exported, load commands naming only the system libraries and frameworks below, and the view
class CLS_Kestrune deriving from NSView with every selector the view answers. Info.plist and PkgInfo
describe the bundle, and Resources holds every editor image. Prints one line per check and a summary;
exits 1 when any check fails."""
import os
import plistlib
import re
import shutil
import subprocess
import sys
import tempfile

SLICES = {"x86_64": "10.13", "arm64": "11.0"}
EXPORTS = {"_VSTPluginMain", "_main", "_main_macho"}
DYLIBS = {
    "/System/Library/Frameworks/AppKit.framework/Versions/C/AppKit",
    "/System/Library/Frameworks/Foundation.framework/Versions/C/Foundation",
    "/System/Library/Frameworks/CoreFoundation.framework/Versions/A/CoreFoundation",
    "/System/Library/Frameworks/CoreGraphics.framework/Versions/A/CoreGraphics",
    "/System/Library/Frameworks/CoreText.framework/Versions/A/CoreText",
    "/usr/lib/libobjc.A.dylib",
    "/usr/lib/libc++.1.dylib",
    "/usr/lib/libc++abi.dylib",
    "/usr/lib/libSystem.B.dylib",
}
SELECTORS = [
    "initWithIGraphics:", "init", "isOpaque", "acceptsFirstResponder", "acceptsFirstMouse:",
    "viewDidMoveToWindow", "viewDidChangeBackingProperties", "drawRect:", "onTimer:", "killTimer", "setParamChangeTimer:",
    "cancelParamChangeTimer", "getMouseXY:x:y:", "mouseDown:", "mouseUp:", "mouseDragged:",
    "rightMouseDown:", "rightMouseUp:", "rightMouseDragged:", "mouseMoved:", "scrollWheel:",
    "draggingEntered:", "performDragOperation:", "registerToolTip:rect:",
    "view:stringForToolTip:point:userData:", "promptUserInput:", "promptUserInput:param:center:",
    "controlTextDidEndEditing:", "removeFromSuperview", "endUserInput",
]
MH_BUNDLE = "BUNDLE"

results = []


def check(name, ok, detail=""):
    results.append(ok)
    print(("ok     " if ok else "FAILED ") + name + (": " + detail if detail else ""))


def tool(*names):
    for n in names:
        path = shutil.which(n)
        if path:
            return path
    sys.exit("missing tool: " + " or ".join(names))


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def main():
    bundle, identifier = sys.argv[1], sys.argv[2]
    otool = tool("llvm-otool-14", "llvm-otool")
    nm = tool("llvm-nm-14", "llvm-nm")
    lipo = tool("llvm-lipo-14", "llvm-lipo")
    contents = os.path.join(bundle, "Contents")
    exe = os.path.join(contents, "MacOS", "Kestrune")

    archs = run(lipo, "-archs", exe).split()
    check("universal executable with x86_64 and arm64", sorted(archs) == sorted(SLICES), " ".join(archs))
    with tempfile.TemporaryDirectory() as tmp:
        for arch, minimum in SLICES.items():
            # Each slice on its own: the tools' -arch does not reach every listing of a universal file.
            thin = os.path.join(tmp, "Kestrune-" + arch)
            run(lipo, "-thin", arch, exe, "-output", thin)
            check_slice(arch, minimum, thin, otool, nm)
    check_bundle(contents, identifier)

    failed = results.count(False)
    print("bundle: %d passed, %d failed" % (len(results) - failed, failed))
    return 1 if failed else 0


def check_slice(arch, minimum, exe, otool, nm):
    header = run(otool, "-hv", exe)
    check(arch + ": a bundle (MH_BUNDLE)", re.search(r"\b" + MH_BUNDLE + r"\b", header) is not None)
    loads = run(otool, "-l", exe)
    # LC_BUILD_VERSION, or LC_VERSION_MIN_MACOSX for minimums before 10.14 (as Apple's linker writes).
    build = re.search(r"cmd LC_BUILD_VERSION.*?platform (\S+).*?minos (\S+)", loads, re.S)
    legacy = re.search(r"cmd LC_VERSION_MIN_MACOSX\s+cmdsize \d+\s+version (\S+)", loads)
    found = ("macos " + build.group(2)) if build and build.group(1) in ("macos", "1") else (
        "macos " + legacy.group(1) if legacy else "none")
    check(arch + ": minimum macOS " + minimum, found == "macos " + minimum, found)
    check(arch + ": code signature (ad hoc)", "LC_CODE_SIGNATURE" in loads)
    dylibs = set(re.findall(r"cmd LC_LOAD_DYLIB\s+cmdsize \d+\s+name (\S+)", loads))
    check(arch + ": loads only the system frameworks and libraries", dylibs == DYLIBS,
          ", ".join(sorted(os.path.basename(d) for d in dylibs)))
    exported = set(run(nm, "-gU", "--just-symbol-name", exe).split())
    check(arch + ": exports exactly VSTPluginMain, main, main_macho", exported == EXPORTS,
          " ".join(sorted(exported)))
    objc = run(otool, "-ov", exe)
    cls = re.search(r"_OBJC_CLASS_\$_CLS_Kestrune\n\s+isa \S+ \S+\n\s+superclass \S+ (\S+)", objc)
    check(arch + ": CLS_Kestrune derives from NSView",
          cls is not None and cls.group(1) == "_OBJC_CLASS_$_NSView",
          cls.group(1) if cls else "no class CLS_Kestrune")
    methods = set(re.findall(r"imp -\[CLS_Kestrune(?:\(\w+\))? ([^\]]+)\]", objc))
    missing = [s for s in SELECTORS if s not in methods]
    check(arch + ": CLS_Kestrune answers every selector of the view (%d)" % len(SELECTORS), not missing,
          "missing " + " ".join(missing) if missing else "")


def check_bundle(contents, identifier):
    with open(os.path.join(contents, "Info.plist"), "rb") as f:
        info = plistlib.load(f)
    check("Info.plist: identifier " + identifier, info.get("CFBundleIdentifier") == identifier)
    check("Info.plist: executable Kestrune, package type BNDL",
          info.get("CFBundleExecutable") == "Kestrune" and info.get("CFBundlePackageType") == "BNDL")
    check("Info.plist: minimum system version 10.13", info.get("LSMinimumSystemVersion") == "10.13")
    with open(os.path.join(contents, "PkgInfo"), "rb") as f:
        check("PkgInfo: BNDL????", f.read() == b"BNDL????")
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    with open(os.path.join(root, "img", "ids.txt")) as f:
        images = [line.split()[1] for line in f if line.strip() and not line.startswith("#")]
    # The 100 % images at the top of Resources, the 150 % and 200 % ones in its folders of those names.
    wanted = [os.path.join(folder, i) for folder in ("", "150", "200") for i in images]
    missing = [i for i in wanted if not os.path.isfile(os.path.join(contents, "Resources", i))]
    check("Resources: the %d editor images at 100, 150 and 200 %%" % len(wanted), not missing, " ".join(missing))


if __name__ == "__main__":
    sys.exit(main())
