# Writes EXE.sha256: the file's SHA-256 and its name, as sha256sum prints them.
file(SHA256 "${EXE}" hash)
get_filename_component(name "${EXE}" NAME)
file(WRITE "${EXE}.sha256" "${hash}  ${name}\n")
