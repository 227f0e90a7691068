#!/usr/bin/env bash
# A per-user package (scope = "user") of the example with its maker's
# profile: setup.exe and its uninstaller ask for no elevation, the wizard
# proposes the user's own programs folder, and an install through the wizard
# and a silent one write only below the user's profile and under HKCU; the
# uninstall entry's quiet command takes each away, leaving the machine as it
# was. Wine starts every program with a full token whatever its manifest
# asks, so what is checked is what the programs write, not their token.
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
manifest_top='scope = "user"' make_setup maker
forget_install
recorder=$6
redirect_launches "$recorder"
. "$wine_dir/run/env"
user=$(id -un)
programs_unix="$WINEPREFIX/drive_c/users/$user/AppData/Local/Programs"
folder_unix="$programs_unix/$product_name"
folder_win="C:\\users\\$user\\AppData\\Local\\Programs\\$product_name"
user_product_key="HKCU${product_key#HKLM}"
user_uninstall_key="HKCU${uninstall_key#HKLM}"

# Both programs as built ask for elevation; the package's run as the user.
"$native" extract "$work/setup.exe" "$work/extracted" >/dev/null
packed_uninstaller="$work/extracted/uninstall.exe"
level() { wrestool -x --raw --type=24 --name=1 "$1" | grep -o 'requestedExecutionLevel level="[A-Za-z]*"'; }
for program in "$bin/zsetup-stub.exe" "$bin/zsetup-uninstall.exe"; do
    expect "$(basename "$program")'s level" "$(level "$program")" 'requestedExecutionLevel level="requireAdministrator"'
done
for program in "$work/setup.exe" "$packed_uninstaller"; do
    expect "$(basename "$program")'s level" "$(level "$program")" 'requestedExecutionLevel level="asInvoker"'
done
echo "ok: setup.exe and the uninstaller it carries run as the user who starts them"
"$native" inspect "$work/setup.exe" | grep -Fx "Scope: user (for the user who runs it, without elevation)" >/dev/null \
    || fail "inspect does not say the scope"
# The folder and the system's key the install goes into, which Windows makes
# for the first per-user install and no uninstaller takes away.
mkdir -p "$programs_unix"
$run reg add "${user_uninstall_key%\\*}" /f >/dev/null
machine >"$work/before.txt"

# Whatever changed since before.txt lies below the user's profile or under HKCU.
expect_only_the_users() {
    machine >"$work/now.txt"
    local changed
    changed=$(diff "$work/before.txt" "$work/now.txt" | grep '^[<>]' | cut -c3- || true)
    [ -n "$changed" ] || fail "$1 changed nothing"
    local outside
    outside=$(printf '%s\n' "$changed" | grep -v "^\./users/$user/" | grep -v -F '[HKEY_CURRENT_USER' \
        | grep -v '^"' | grep -v '^$' | grep -v '^@=' || true)
    [ -z "$outside" ] || fail "$1 wrote for other users: $outside"
    # Values are listed under their key: none changed under HKEY_LOCAL_MACHINE.
    diff <(awk '/^\[HKEY_LOCAL_MACHINE/,/^$/' "$work/before.txt") <(awk '/^\[HKEY_LOCAL_MACHINE/,/^$/' "$work/now.txt") \
        >/dev/null || fail "$1 changed HKEY_LOCAL_MACHINE"
    echo "ok: $1 wrote only the user's files and keys"
}

# The entry's values, every one as the export writes it, under HKCU only.
expect_user_entry() {
    local folder_reg=${folder_win//\\/\\\\} bytes kib
    bytes=$(find "$folder_unix" -type f ! -name 'Z_*.cx' -printf '%s\n' | awk '{ n += $1 } END { print n }')
    kib=$(( (bytes + 1023) / 1024 ))
    local entry_cases=(
        "$user_product_key" '"Setup"=dword:00000001'
        "$user_product_key" "\"Folder\"=\"$folder_reg\""
        "$user_product_key\\设置" '"语言"="简体中文"'
        "$user_product_key\\设置\\窗口" '"宽度"=dword:00000320'
        "$user_uninstall_key" "\"DisplayName\"=\"$product_name\""
        "$user_uninstall_key" "\"UninstallString\"=\"\\\"$folder_reg\\\\uninstall.exe\\\"\""
        "$user_uninstall_key" "\"QuietUninstallString\"=\"\\\"$folder_reg\\\\uninstall.exe\\\" /S\""
        "$user_uninstall_key" "\"InstallLocation\"=\"$folder_reg\""
        "$user_uninstall_key" "\"DisplayIcon\"=\"$folder_reg\\\\$product_name.exe,0\""
        "$user_uninstall_key" "$(printf '"EstimatedSize"=dword:%08x' "$kib")"
        "$user_uninstall_key" '"NoModify"=dword:00000001'
        "$user_uninstall_key" '"NoRepair"=dword:00000001'
        "$user_uninstall_key" "\"InstallDate\"=\"$(date +%Y%m%d)\""
    )
    expect_reg_values "${entry_cases[@]}"
    reg_lines "$user_uninstall_key" | grep -E '^"ZsetupRecordSha256"="[0-9a-f]{64}"$' >/dev/null \
        || fail "the record's digest is not in the user's entry"
    ! reg_present "$product_key" || fail "the product's key is under HKLM"
    ! reg_present "$uninstall_key" || fail "the uninstall entry is under HKLM"
    echo "ok: the entry is the user's, with its digest"
}

# Removed by the entry's quiet command, as a deployment tool would.
quiet_uninstall() {
    local quiet program
    quiet=$($run reg query "$user_uninstall_key" /v QuietUninstallString | iconv -f GBK -t UTF-8 \
        | sed -n 's/.*REG_SZ *//p' | tr -d '\r')
    program=${quiet%\" /S}
    program=${program#\"}
    expect "the quiet command's program" "$program" "$folder_win\\uninstall.exe"
    run_expecting 0 "$program" /S
    wait_gone "$folder_unix"
    machine >"$work/after.txt"
    diff -u "$work/before.txt" "$work/after.txt" || fail "the quiet uninstall left the machine changed ($1)"
    if $run uninstaller --list | iconv -f GBK -t UTF-8 | grep -F "$product_name|||" >/dev/null; then
        fail "wine uninstaller still lists the product"
    fi
    echo "ok: after $1 the quiet uninstall left the machine as it was"
}

# Through the wizard: the folder page proposes the user's programs folder.
start_setup
drive wait-window expect-page 0 press suiButton2 expect-page 1 press suiButton4 expect-page 2 >/dev/null
expect "the proposed folder" "$(drive text FolderEd)" "$folder_win"
shot folder
drive press suiButton2 expect-page 3 press suiButton2 expect-page 5 >/dev/null
# Neither the product nor the tutorial is started at the finish.
drive press RunProgramCb press StartProgramCb press suiButton3 >/dev/null
expect_setup_exit
expect_installed_files "$folder_unix" "$packed_uninstaller"
expect_only_the_users "the wizard's install"
expect_user_entry
# Wine's list of programs (Programs and Features) shows the user's entry.
$run uninstaller --list | iconv -f GBK -t UTF-8 | grep -F "$product_name|||" >/dev/null \
    || fail "wine uninstaller does not list the per-user install"
echo "ok: wine uninstaller lists the per-user install"
quiet_uninstall "the wizard's install"

# Silently, twice (the second over the first, found under HKCU).
run_expecting 0 setup.exe /S
run_expecting 0 setup.exe /S
expect_installed_files "$folder_unix" "$packed_uninstaller"
expect_only_the_users "the silent install"
expect_user_entry
quiet_uninstall "the silent install"
