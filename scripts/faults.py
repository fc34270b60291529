#!/usr/bin/env python3
"""Deliberate faults: breaks the sources of TREE one fault at a time, builds,
runs the tests and names those that fail, so that a change to the tests can
show it still catches every fault. Each fault is (file, text, broken text);
the file is put back after each, also when the script is ended.

    scripts/faults.py TREE [F1 ...]     (NATIVE_ONLY=1: the native tests only)

It builds in TREE/build/mut-native and, unless NATIVE_ONLY, in
TREE/build/mut-x86_64, whose Win32 and whole-program tests it runs under Wine.
src/ must have no uncommitted changes."""
import os, re, subprocess, sys

FAULTS = {
 'F1': ('src/engine/driver.cpp', 'registryTrees(run);\n    if (cancelled(run))\n        return "cancelled";\n    icons(run);',
        'icons(run);\n    registryTrees(run);\n    if (cancelled(run))\n        return "cancelled";'),
 'F2': ('src/engine/policy.cpp', 'if (isDotsAndBlanks(at, length) || isDeviceName(at, length))', 'if ((false && isDotsAndBlanks(at, length)) || isDeviceName(at, length))'),
 'F3': ('src/common/text.cpp', 'while (n < count && n + 1 < capacity', 'while (n < count && n < capacity'),
 'F4': ('src/engine/registry.cpp', 'kValueTypeTable[item->valueType], data', 'kValueTypeTable[0], data'),
 'F5': ('src/engine/shareddlls.cpp', 'switch (rs.host->askSharedFile(rs.progressText, path)) {', 'switch (kSharedYes) {'),
 'F6': ('src/engine/driver.cpp', 'run.threshold = run.rollback ? installLog.installationCount : 1;',
        'run.threshold = run.rollback ? installLog.installationCount - 1 : 1;'),
 'F7': ('src/engine/files.cpp', 'if (entry.attributes & kAttributeReparsePoint) {\n            // What', 'if (false) {\n            // What'),
 'F8': ('src/engine/fileremoval.cpp', 'host.deleteFile(temp);\n        }', 'host.deleteFile(temp);\n            removeFileWithCompanions(backup);\n        }'),
 'F9': ('src/engine/policy.cpp', 'if (isDotsAndBlanks(at, length) || isDeviceName(at, length))', 'if (isDotsAndBlanks(at, length) || (false && isDeviceName(at, length)))'),
 'F10': ('src/engine/policy.cpp', 'if (!canonicalPath(path, out, capacity) || !expandShortNames(out, capacity) || isRoot(out))',
         'if (!canonicalPath(path, out, capacity) || isRoot(out))'),
 'F11': ('src/engine/driver.cpp', 'if (rs.uninstallMethod == kMethodCustom)\n        rs.rollbackRequested = 0;', ''),
 'F12': ('src/engine/driver.cpp', 'if (error == kErrorAccessDenied && resetAttributes(logPath) == 0)', 'if (false && resetAttributes(logPath) == 0)'),
 'F13': ('src/engine/preview.cpp', '    host->deleteFile = deleteFile;\n', '    (void)deleteFile;\n'),
 'F14': ('src/engine/record.cpp', '} else if (item.deferred) {', '} else if (false) {'),
 'F15': ('src/engine/fileremoval.cpp', '        deleteInUseAtRestart(file);', '        (void)0;'),
 'F16': ('src/engine/devices.cpp', "out->push_back(';');   // before", '// before'),
 'F17': ('src/engine/subsystem.cpp', 'static_cast<int>(count - 1));', 'static_cast<int>(count));'),
 'F18': ('src/startup/cmdline.cpp', 'end = cursor + strcspn(cursor, " ");', 'end = cursor + strlen(cursor);'),
 'F19': ('src/engine/winhost.cpp', 'return result(DeleteFileA(path));', 'DeleteFileA(path);\n    return 0;'),
 'F20': ('src/startup/environment.cpp', '    convertPathForm(iniShort, sizeof iniShort, ShortForm);\n', ''),
 'F21': ('src/engine/winhost.cpp', 'attempt < 2; ++attempt', 'attempt < 1; ++attempt'),
 'F22': ('src/engine/driver.cpp', 'if (!mayWriteIniFile(entry->file)) {', 'if (false) {'),
}

def sh(cmd, cwd):
    return subprocess.run(['bash', '-c', cmd], cwd=cwd, capture_output=True, text=True)

def failed_tests(out):
    names = set(re.findall(r'\[  FAILED  \] ([\w./]+)', out))
    if 'AddressSanitizer' in out or 'runtime error' in out: names.add('(sanitizer report)')
    if re.search(r'\*\*\*Exception|SEGFAULT|Subprocess aborted', out): names.add('(crash)')
    return sorted(n for n in names if not n.isdigit())

def main():
    tree = os.path.abspath(sys.argv[1]); wanted = sys.argv[2:] or list(FAULTS)
    if sh('git status --porcelain src', tree).stdout.strip():
        sys.exit('src/ has changes: commit or revert them first')
    import signal
    signal.signal(signal.SIGTERM, lambda *a: sys.exit('terminated'))
    native_only = os.environ.get('NATIVE_ONLY') == '1'
    env = 'source scripts/wine-env.sh >/dev/null; '
    sh(env + 'configure_build build/mut-native "" -DCMAKE_BUILD_TYPE=Debug -DRUVO_SANITIZE=ON', tree)
    if not native_only:
        sh(env + 'configure_build build/mut-x86_64 x86_64 -DCMAKE_BUILD_TYPE=Release', tree)
    for f in wanted:
        path, old, new = FAULTS[f]
        full = os.path.join(tree, path)
        text = open(full, newline='').read()
        if text.count(old) != 1:
            print(f'{f}: pattern not found once in {path}', flush=True); continue
        open(full, 'w', newline='').write(text.replace(old, new))
        try:
            res = []
            b = sh('cmake --build build/mut-native -j2 2>&1', tree)
            if b.returncode != 0:
                print(f'{f}: BUILD FAILED ' + ' | '.join(l for l in b.stdout.splitlines() if 'error' in l)[:400], flush=True); continue
            r = sh('ctest --test-dir build/mut-native --output-on-failure 2>&1', tree)
            res.append('native: ' + (', '.join(failed_tests(r.stdout)) or 'none'))
            if not native_only:
                b = sh('cmake --build build/mut-x86_64 -j2 2>&1', tree)
                if b.returncode != 0:
                    print(f'{f}: Wine BUILD FAILED', flush=True); continue
                r = sh(env + 'wine_env_start; ctest --test-dir build/mut-x86_64 --output-on-failure -R "^(win|e2e)$" 2>&1; wine_env_stop', tree)
                res.append('Wine: ' + (', '.join(failed_tests(r.stdout)) or 'none'))
            print(f'{f}: ' + '; '.join(res), flush=True)
        finally:
            open(full, 'w', newline='').write(text)
main()
