"""From a click in the page to the updated pane drawn in the page: median and worst of
100 clicks on the sample pane's check box, in headless Chromium on loopback, at 1x and 2x.
Usage: PageLatency.py WORKBENCH PLUGIN PRESETS"""
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', '..', 'tests', 'workbench'))
from page_browser import chromium  # noqa: E402
from pageserver import PageServer  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.support.ui import WebDriverWait  # noqa: E402

INPUTS = 100


def measure(browser, url, scale):
    browser.get(f'{url}?scale={scale}')
    settled = ('return window.velkuiState && velkuiPending() == 0 && '
               'document.getElementById("pane").dataset.frame == velkuiState.frame')
    WebDriverWait(browser, 20).until(lambda b: b.execute_script(settled))
    box = next(c for c in browser.execute_script('return velkuiState.controls') if c['id'] == 'MONO:3')
    pane = browser.find_element(By.ID, 'pane')
    top, left, bottom, _ = box['bounds']
    dx, dy = left + 8 - pane.size['width'] / 2, (top + bottom) / 2 - pane.size['height'] / 2
    browser.execute_script('velkuiLatencies.length = 0')
    for _ in range(INPUTS):
        ActionChains(browser, duration=0).move_to_element_with_offset(pane, dx, dy).click().perform()
        WebDriverWait(browser, 20).until(lambda b: b.execute_script(settled))
        time.sleep(0.01)
    return browser.execute_script('return velkuiLatencies.slice()')


def main():
    server = PageServer(*sys.argv[1:4], ['monochrome.json', 'resources'])
    browser = chromium()
    try:
        for scale in (1, 2):
            ms = measure(browser, server.url, scale)
            print(f'page latency, click to pane drawn, {scale}x: {len(ms)} inputs, '
                  f'median {statistics.median(ms):.1f} ms, worst {max(ms):.1f} ms')
    finally:
        browser.quit()
        server.stop()


if __name__ == '__main__':
    main()
