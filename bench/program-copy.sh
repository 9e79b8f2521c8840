# Sourced by the benchmark scripts: a copy of the program in a folder of its own, with a settings
# file of its own, so no prompt shows and the real build/quorvel2.ini is left alone.
#   copy_program PROGRAM FOLDER SCREEN DIR
copy_program() {
    cp "$1" "$2/quorvel"
    printf '[quorvel]\nvolume=-5000\nbalance=0\nscreen=%s\nmute=0\nspeed=3\nr_lbl=1\nl_lbl=1\ndir=%s\ndirsta=0\n' \
        "$3" "$4" > "$2/quorvel2.ini"
}
