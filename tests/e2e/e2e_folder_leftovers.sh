#!/usr/bin/env bash
# What may lie in the product's folder besides the product, under Wine.
# Links, where a Unix symbolic link to a folder is a reparse point: setup
# writes nothing through one planted in an existing tree, and the uninstaller
# does not enter one that replaced a folder of the product. (A link to a file is no reparse point to Wine, and
# deleting it deletes its target there; Windows deletes the link.)
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
make_setup
# A file in a folder of its own, for a link to replace.
cat >>"$work/product/product.toml" <<'EOF'

[[file]]
source = "readme.txt"
name = "\\bin\\tool.dll"
EOF
(cd "$work/product" && "$native" build --arch "$arch" product.toml -o "$work/setup.exe")
forget_install
. "$wine_dir/run/env"
top_unix="$WINEPREFIX/drive_c/链接测试"
folder_win='C:\链接测试\演示软件'
folder_unix="$top_unix/$product_name"
victim="$WINEPREFIX/drive_c/victim"
log_win="Z:${work//\//\\}\\log.txt"

fresh_victim() {
    rm -rf "$victim"
    mkdir -p "$victim"
    echo old >"$victim/tool.dll"
    echo mine >"$victim/mine.txt"
}

expect_victim_untouched() {
    expect "$1: the victim's tool.dll" "$(cat "$victim/tool.dll")" old
    expect "$1: the victim's mine.txt" "$(cat "$victim/mine.txt")" mine
}

# An existing tree whose bin is a link: the install goes on without bin's file.
rm -rf "$top_unix"
fresh_victim
mkdir -p "$folder_unix"
ln -s ../../victim "$folder_unix/bin"
run_expecting 1 setup.exe /S "/LOG=$log_win" "/D=$folder_win"
expect_victim_untouched "install through a link"
[ -f "$folder_unix/$product_name.exe" ] || fail "the files beside the link were not written"
tr -d '\r' <"$work/log.txt" | grep -Fx "link not followed: $folder_win\\bin" >/dev/null \
    || fail "the log does not name the link: $(cat "$work/log.txt")"
echo "ok: the log names the link"
forget_install
rm -rf "$top_unix"

# A sound install, then bin swapped for a link: the uninstaller removes the
# product's other files, keeps the link and leaves what it leads to.
fresh_victim
run_expecting 0 setup.exe /S "/D=$folder_win"
rm -rf "${folder_unix:?}/bin"
ln -s ../../victim "$folder_unix/bin"
run_expecting 1 "$folder_win\\uninstall.exe" /S
expect_victim_untouched "the uninstall"
[ -L "$folder_unix/bin" ] || fail "the link to a folder was removed"
[ ! -e "$folder_unix/$product_name.exe" ] || fail "the product's own file stayed"
echo "ok: the uninstall removed the product's files and kept the link"
forget_install
rm -rf "$top_unix" "$victim"

# The temporary files a killed run leaves beside its targets: setup again
# and the uninstaller take them away, and the folder goes with the product.
run_expecting 0 setup.exe /S "/D=$folder_win"
left=("$folder_unix/~zsetup0000BEEF.tmp" "$folder_unix/bin/~zsetup0000CAFE.tmp")
touch "${left[@]}"
run_expecting 0 setup.exe /S "/D=$folder_win"
for file in "${left[@]}"; do [ ! -e "$file" ] || fail "setup again left $file"; done
echo "ok: setup again took away what a killed run left"
touch "${left[@]}"
run_expecting 0 "$folder_win\\uninstall.exe" /S
wait_gone "$folder_unix"
echo "ok: the uninstaller took them away with the folder"
forget_install
rm -rf "$top_unix"
