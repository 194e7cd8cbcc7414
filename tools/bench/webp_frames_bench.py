#!/usr/bin/python3
"""webp_frames_bench.py --decoder "WINE lmx_decode.exe" --work DIR [--device-work WINDIR]:
composing the frames of a 480 x 270 animated WebP of 100 frames (lossy, then lossless), the
WebP plug-in's frame reader (lmx_decode --frame all --time 9, in process under Wine, the blocks
freed as they come) beside Pillow's seek() and convert("RGB") of every frame (the same libwebp
animation decoder), side by side in one run, per frame. The frames are those of the GIF
benchmark, in full colour.
"""
from gif_frames_bench import HEIGHT, WIDTH, arguments, frames, ours_per_frame, pillow_per_frame

FRAMES = 100


def main():
    decoder, work, device = arguments()
    images = [im.convert("RGB") for im in frames()[:FRAMES]]
    for name, options in (("anim_lossy.webp", dict(quality=80)), ("anim_lossless.webp", dict(lossless=True))):
        images[0].save(work / name, save_all=True, append_images=images[1:], duration=100, loop=0, **options)
        ours, least = ours_per_frame(decoder, device, name)
        for f in work.glob("frame-*.bmp"):
            f.unlink()
        pillow, pillow_least = pillow_per_frame(work / name)
        print(f"composing {FRAMES} frames of {WIDTH} x {HEIGHT} ({name}, {(work / name).stat().st_size} bytes), per frame:")
        print(f"  zlx_webp.dll LMX_NextFrame under Wine  median {ours:7.3f} ms  least {least:7.3f} ms")
        print(f"  Pillow seek() + convert('RGB')         median {pillow:7.3f} ms  least {pillow_least:7.3f} ms")
        print(f"  Pillow's time / ours: {pillow / ours:.2f}")


if __name__ == "__main__":
    main()
