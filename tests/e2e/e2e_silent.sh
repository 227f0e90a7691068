#!/usr/bin/env bash
# setup.exe /S: the example product installed with no window into a folder
# with a blank and Chinese characters, and again over it; the log /LOG=
# keeps; a damaged package, a bad folder and an unknown option each end
# with their exit code. Then the uninstaller's /S with an unknown option,
# and a package signed during the build.
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
make_setup
forget_install
hostile=$6
. "$wine_dir/run/env"
top_unix="$WINEPREFIX/drive_c/演示 目录"
rm -rf "$top_unix"
folder_win='C:\演示 目录\演示软件'
folder_unix="$top_unix/$product_name"
user_dir=$WINEPREFIX/drive_c/users/$(id -un)
log_win="Z:${work//\//\\}\\安装 日志.txt"

# A damaged pack and an unknown option: refused before anything is written.
snapshot before
"$hostile" "$work/setup.exe" pack-cut-short "$work/damaged.exe"
run_expecting 2 damaged.exe /S "/D=$folder_win"
expect_unchanged "the damaged package"
run_expecting 4 setup.exe /S /VERYSILENT
expect_unchanged "the unknown option"

run_expecting 3 setup.exe /S /D=演示软件
[ ! -e "$folder_unix" ] || fail "a bad folder was made"

run_expecting 0 setup.exe /S "/LOG=$log_win" "/D=$folder_win"
expect_installed_files "$folder_unix"

folder_reg=${folder_win//\\/\\\\}
# table: key | value as exported
reg_cases=(
    "$product_key"   '"Setup"=dword:00000001'
    "$product_key"   "\"Folder\"=\"$folder_reg\""
    "$uninstall_key" "\"UninstallString\"=\"\\\"$folder_reg\\\\uninstall.exe\\\"\""
    "$uninstall_key" "\"InstallLocation\"=\"$folder_reg\""
)
expect_reg_values "${reg_cases[@]}"

desktop_link=$user_dir/Desktop/$product_name.lnk
group="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/$product_name"
for link in "$desktop_link" "$group/$product_name.lnk" "$group/卸载$product_name.lnk"; do
    lnkinfo "$link" | grep -F "演示 目录\\$product_name\\" >/dev/null || fail "$link does not point into the folder"
    echo "ok: $link"
done

# The log, in UTF-8: one line per file, registry value and link written.
log="$work/安装 日志.txt"
tr -d '\r' <"$log" >"$work/log.txt"
for line in "file: $folder_win\\$product_name.exe" "file: $folder_win\\Z_nt.cx" \
            "registry: HKLM\\Software\\DemoStudio\\$product_name\\Folder" \
            "registry: $uninstall_key\\ZsetupRecordSha256" \
            "link: C:\\users\\$(id -un)\\Desktop\\$product_name.lnk"; do
    grep -Fxi -- "$line" "$work/log.txt" >/dev/null || fail "the log lacks '$line': $(cat "$work/log.txt")"
    echo "ok: the log has '$line'"
done
# The maker's 2, the product's 4, the uninstall entry's 6 with the record copy's
# digest, and the example's 2 rows.
expect "registry lines in the log" "$(grep -c '^registry: ' "$work/log.txt")" 15

# Again, over it: the question whether to install over it is answered and logged.
run_expecting 0 setup.exe /S "/LOG=$log_win" "/D=$folder_win"
grep -F "message:    Zoraq提示：Zoraq软件已经安装,覆盖原来以前的吗？" "$log" >/dev/null \
    || fail "the second log lacks the question: $(cat "$log")"
echo "ok: the second install went over the first and logged the question"

# The uninstaller: an unknown option under /S ends it with nothing removed.
run_expecting 4 "$folder_win\\uninstall.exe" /S /Q
[ -f "$folder_unix/$product_name.exe" ] || fail "the uninstaller removed something"
echo "ok: nothing removed"
forget_install
rm -rf "$top_unix"

# The example with its maker's profile, whose words the start-up questions
# take: /S answers them by what they ask, twice in a row, and refuses a
# payload that fails its sum (exit 2).
make_setup maker
run_expecting 0 setup.exe /S "/LOG=$log_win"
run_expecting 0 setup.exe /S "/LOG=$log_win"
grep -F "message:    演示工作室提示：演示工作室软件已经安装" "$log" >/dev/null \
    || fail "the maker's question is not in the log: $(cat "$log")"
echo "ok: the maker's question was answered and logged"
"$hostile" "$work/setup.exe" checksum-off "$work/checksum-off.exe"
run_expecting 2 checksum-off.exe /S "/LOG=$log_win"
grep -F "演示工作室提示：文件资源校核不完整" "$log" >/dev/null || fail "the checksum question is not in the log: $(cat "$log")"
echo "ok: the maker's checksum question was answered no"
forget_install

# Signed during the build: the stub reads its payload from its signed file,
# and the uninstaller it installs is signed too.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=zsetup test' -addext extendedKeyUsage=codeSigning \
    -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
make_setup maker --sign "osslsigncode sign -certs '$work/cert.pem' -key '$work/key.pem' -in {file} -out {file}.signed \
    >/dev/null && mv {file}.signed {file}"
run_expecting 0 setup.exe /S "/LOG=$log_win"
(. "$wine_dir/run/env" && osslsigncode verify -CAfile "$work/cert.pem" -in "$WINEPREFIX/drive_c/$product_name/uninstall.exe" \
    >/dev/null) || fail "the installed uninstaller carries no signature osslsigncode accepts"
echo "ok: a package signed during the build installed, and its uninstaller is signed"
forget_install
